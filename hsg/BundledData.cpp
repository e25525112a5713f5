// Generation of the shipped data files.
#include "hsg/BundledData.h"

#include "framework/CommonRecord.h"
#include "framework/RecordText.h"
#include "hsg/HsgCalculation.h"
#include "hsg/HsgRecord.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Stream.h"

namespace velmoran {

namespace {

template <class Record>
std::string Bytes(const Record& r)
{
    return {reinterpret_cast<const char*>(r.Data()), Record::kSize};
}

std::string Source(const std::string& folder, const std::string& name)
{
    return ReadFileBytes(folder + "/" + name);
}

// "Name;Wert" lines of the module description: its caption and version, one per line, in
// Windows-1252.
std::string ModuleDescription(const std::string& text)
{
    std::string caption, version;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.starts_with("Caption;"))
            caption = line.substr(8);
        else if (line.starts_with("Version;"))
            version = line.substr(8);
    }
    return Utf8ToCp1252(caption + "\n" + version + "\n");
}

}  // namespace

std::vector<BundledFile> GenerateBundledData(const std::string& sourceFolder)
{
    // The defaults of a new calculation.
    TCommonRecord commonDefaults;
    ApplyRecordText(Source(sourceFolder, "common.vdt.txt"), commonDefaults);
    SetLoadCaseNames(commonDefaults);
    THSGRecord hsgDefaults;
    ApplyRecordText(Source(sourceFolder, "hsg.vdt.txt"), hsgDefaults.View(), HsgRecordMembers());

    // The example starts as a new calculation would, takes its inputs and is calculated.
    TCommonRecord example = commonDefaults;
    ApplyRecordText(Source(sourceFolder, "Beispiel.vda.txt"), example);
    THSGRecord exampleHsg = hsgDefaults;
    ApplyRecordText(Source(sourceFolder, "Beispiel.vdh.txt"), exampleHsg.View(), HsgRecordMembers());
    HsgCalculate(example, exampleHsg);

    return {
        {"templates/de/HSG/common.vdt", Bytes(commonDefaults)},
        {"templates/de/HSG/hsg.vdt", Bytes(hsgDefaults)},
        {"examples/Beispiel.vda", Bytes(example)},
        {"examples/Beispiel.vdh", Bytes(exampleHsg)},
        {"HSG.MTX", ModuleDescription(Source(sourceFolder, "HSG.MTX.txt"))},
    };
}

}  // namespace velmoran
