// Records, files and commands of the design module.
#include "hsg/HsgModule.h"

#include "framework/RecordFiles.h"
#include "hsg/HsgCalculation.h"
#include "platform/Stream.h"

namespace velmoran {

CalculationFiles PairCalculationFiles(std::string_view fileName)
{
    const std::size_t slash = fileName.find_last_of('/');
    const std::size_t fileStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t dot = fileName.find_last_of('.');
    const bool hasExt = dot != std::string_view::npos && dot >= fileStart;
    const std::string base(hasExt ? fileName.substr(0, dot) : fileName);
    const std::string_view ext = hasExt ? fileName.substr(dot) : std::string_view();

    const std::string name(fileName);
    if (!hasExt)
        return {base + std::string(THsgModule::kCommonExt), base + std::string(THsgModule::kCompanionExt)};
    if (ext == THsgModule::kCompanionExt)
        return {base + std::string(THsgModule::kCommonExt), name};
    return {name, base + std::string(THsgModule::kCompanionExt)};
}

std::string THsgModule::TemplateFile(std::string_view name) const
{
    std::string path = moduleTemplateFolder_;
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += name;
    return path;
}

bool THsgModule::Exec(std::string_view command, const ModuleArgument& arg)
{
    const auto parsed = ParseModuleCommand(command);
    if (!parsed)
        return false;
    switch (*parsed) {
    case ModuleCommand::InitData:
        ResetToDefaults();
        return true;
    case ModuleCommand::ReadData:
        return ReadCalculationFile(arg.Text);
    case ModuleCommand::SaveData:
        return WriteCalculationFile(arg.Text).Ok;
    case ModuleCommand::SetToData:
        // Imported table values join the records with the value tables.
        return true;
    case ModuleCommand::Calculate:
        Calculate();
        return true;
    case ModuleCommand::PushData:
        if (!arg.Stream)
            return false;
        PushData(*arg.Stream);
        return true;
    case ModuleCommand::PopData:
        return arg.Stream && PopData(*arg.Stream);
    case ModuleCommand::CheckTopics:
        // The module has no check topics.
        if (arg.List)
            arg.List->clear();
        return false;
    case ModuleCommand::EditParams:
    case ModuleCommand::Edit:
    case ModuleCommand::EditSpecial:
        return false;
    }
    return false;
}

void THsgModule::ResetToDefaults()
{
    defaultCommon_.Clear();
    defaultHsg_.Clear();
    SetBuiltInDefaults(defaultHsg_);
    defaultCommon_.Block(0).SetWord(block::kFlags, block::kFlagAktiv);
    // Each defaults file replaces its record only when it could be read whole.
    ReadRecordFile(TemplateFile(kHsgDefaultsFile), defaultHsg_.Raw());
    LoadRecordFromFile(defaultCommon_, TemplateFile(kCommonDefaultsFile));
    currentCommon_ = defaultCommon_;
    currentHsg_ = defaultHsg_;
    modified_ = false;
    UpdateDataSets();
}

bool THsgModule::ReadCalculationFile(const std::string& fileName)
{
    const CalculationFiles files = PairCalculationFiles(fileName);
    TCommonRecord common;
    if (!LoadRecordFromFile(common, files.Common))
        return false;
    THSGRecord hsgRecord;
    const bool hasHsg = FileExists(files.Hsg);
    if (hasHsg && !ReadRecordFile(files.Hsg, hsgRecord.Raw()))
        return false;

    currentCommon_ = common;
    if (hasHsg)
        currentHsg_ = hsgRecord;
    UpdateDataSets();
    modified_ = false;
    return true;
}

SaveResult THsgModule::WriteCalculationFile(const std::string& fileName)
{
    const CalculationFiles files = PairCalculationFiles(fileName);
    SaveResult result = WriteRecordFile(files.Hsg, currentHsg_.Raw());
    if (!result)
        return result;
    result = SaveRecordToFile(currentCommon_, files.Common);
    if (!result)
        return result;
    modified_ = false;
    return result;
}

void THsgModule::PushData(TStream& stream) const
{
    SaveRecordToStream(currentCommon_, stream);
}

bool THsgModule::PopData(TStream& stream)
{
    return LoadRecordFromStream(currentCommon_, stream);
}

void THsgModule::Calculate()
{
    HsgCalculate(editCommon_, editHsg_);
}

void THsgModule::TakeEditCopies()
{
    editCommon_ = currentCommon_;
    editHsg_ = currentHsg_;
}

bool THsgModule::CommitEditCopies()
{
    modified_ = editHsg_ != currentHsg_ || editCommon_ != currentCommon_;
    if (modified_) {
        HsgCalculate(editCommon_, editHsg_);
        currentCommon_ = editCommon_;
        currentHsg_ = editHsg_;
        UpdateDataSets();
    }
    return modified_;
}

void THsgModule::UpdateDataSets()
{
    SetLoadCaseNames(currentCommon_);
}

}  // namespace velmoran
