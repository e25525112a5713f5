// report TEMPLATE CALC.vda OUT.html [LOADCASE]: expands a screen or print template over a
// calculation pair the way the main window does: the pair is read into the design module, which
// maps it into its tables; the engine sees them in the window's order (ph, dh, dp, dl, d) with
// the alias table "VarTab.tra" of the data folder and the load case given (0 to 3, default 0);
// includes are read beside the template.
#include "hsg/HsgModule.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/Stream.h"
#include "report/Report.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

int main(int argc, char** argv)
{
    using namespace velmoran;
    if (argc < 4 || argc > 5) {
        std::cerr << "Aufruf: report VORLAGE BERECHNUNG.vda AUSGABE.html [LASTFALL]\n";
        return 2;
    }
    int loadCase = 0;
    if (argc == 5) {
        const auto number = TryStrToInt(argv[4]);
        if (!number || *number < 0 || *number > 3) {
            std::cerr << "Der Lastfall muss 0, 1, 2 oder 3 sein.\n";
            return 2;
        }
        loadCase = *number;
    }
    const std::string dataDir = VELMORAN_DATA_DIR;
    THsgModule module;
    module.SetModuleTemplateFolder(dataDir + "/templates/de/HSG/");
    module.ResetToDefaults();
    if (!module.ReadCalculationFile(argv[2])) {
        std::cerr << "Die Berechnung \"" << argv[2] << "\" konnte nicht gelesen werden.\n";
        return 1;
    }
    std::vector<TDataSet*> dataSets = module.DataSets();
    std::reverse(dataSets.begin(), dataSets.end());

    TReport report;
    report.SetDataSets(dataSets);
    report.LoadVariables(dataDir + "/VarTab.tra");
    report.SetRecord(static_cast<std::uint8_t>(loadCase));
    report.SetIncludeFolder(std::filesystem::path(argv[1]).parent_path());
    try {
        TMemoryStream templateStream;
        templateStream.LoadFromFile(argv[1]);
        TMemoryStream output;
        report.ProcessTemplate(&templateStream, &output);
        const SaveResult saved = WriteFileAtomically(argv[3], output.View());
        if (!saved) {
            std::cerr << saved.Message << '\n';
            return 1;
        }
    } catch (const Exception& e) {
        std::cerr << e.Message() << '\n';
        return 1;
    }
    return 0;
}
