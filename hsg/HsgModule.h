// The design module's data side: the records of a calculation (current, edit copy and defaults of
// both the common and the module record), the data module with the value tables, the module's
// own tables `dh` and `ph`, the modified flag, the calculation files and the text commands that
// work on them. It shows no window and no message; the module dialog owns one and delegates its
// data commands to it.
#pragma once

#include "framework/CommonRecord.h"
#include "framework/DataModul.h"
#include "framework/ModuleCommand.h"
#include "hsg/DesignInputs.h"
#include "hsg/HsgRecord.h"
#include "memtable/MemTable.h"
#include "platform/core/AtomicFile.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmoran {

class TStream;

// Where the user changes the design's model parameters.
inline constexpr std::string_view kWhereParametersChange =
    "Die Parameter ändern Sie im Menü „Bearbeiten“ unter „Parameter...“.";

// The two files of a calculation: the common record (".vda") and the module record (".vdh").
struct CalculationFiles {
    std::string Common;
    std::string Hsg;
    friend bool operator==(const CalculationFiles&, const CalculationFiles&) = default;
};

// Pairs a file name: a name ending in ".vdh" (exactly so) is the module file, and the common
// file has ".vda" in its place; any other extension names the common file, whose module file
// has ".vdh" instead; a name without extension gets ".vda" and ".vdh" appended. Only the file
// part counts: a "." in a folder name is no extension.
CalculationFiles PairCalculationFiles(std::string_view fileName);
// The pair as it lies on the disk: when the common file is a symbolic link, the module file is
// the one beside the file the link names, not the one beside the link.
CalculationFiles ResolvedCalculationFiles(std::string_view fileName);

class THsgModule {
public:
    static constexpr std::string_view kCompanionExt = ".vdh";
    static constexpr std::string_view kCommonExt = ".vda";
    static constexpr std::string_view kHsgDefaultsFile = "hsg.vdt";
    static constexpr std::string_view kCommonDefaultsFile = "common.vdt";

    // Creates the data module and the tables `dh` and `ph`, all open and empty; every record is
    // zero until INITDATA.
    THsgModule();
    THsgModule(THsgModule&&) noexcept;
    THsgModule& operator=(THsgModule&&) noexcept;
    ~THsgModule();

    // Where the defaults files "common.vdt" and "hsg.vdt" lie.
    void SetModuleTemplateFolder(std::string folder) { moduleTemplateFolder_ = std::move(folder); }
    const std::string& ModuleTemplateFolder() const { return moduleTemplateFolder_; }

    // The command entry: the command text is compared in upper case. Carries out INITDATA,
    // READDATA, SAVEDATA, CALCULATE, PUSHDATA, POPDATA and CHECKTOPICS (no topics: the list is
    // cleared, the answer is false) and SETTODATA. READDATA and SAVEDATA without a file name
    // answer false and touch no file. EDIT and EDITPARAMS need the dialog and answer false here,
    // as do EDITSPECIAL and any text that is no command. Arithmetic errors of CALCULATE pass to
    // the caller.
    bool Exec(std::string_view command, const ModuleArgument& arg = {});

    // INITDATA: a new calculation from the defaults (built-in values, overlaid by the defaults
    // files of the template folder; a parameter of "hsg.vdt" that the design refuses on its own,
    // or at the defaults' temperature, keeps its built-in value). Clears Modified.
    void ResetToDefaults();
    // READDATA: reads the pair into the current records, under the pair's lock: while a save of it
    // runs elsewhere, it waits briefly and then fails with a message saying so. A save of the pair
    // that was cut short is taken back or completed first; where its folder cannot be changed, the pair is read from
    // where it stands and a note names the files read, and where no whole pair is left, the
    // message names both files and nothing is read. Both files are read into scratch records first; the records change only when
    // the common file was read whole and the module file, if there, could be read. A module file
    // that is missing or shorter than a record leaves the module record as it was (after INITDATA
    // the defaults), and a note says so; the results of the common file, computed with the module
    // record lost, then show as missing (and are saved so) until the next calculation. Returns
    // false (records, tables and Modified as they were) otherwise, with the message naming the
    // file that failed. Messages and notes go into
    // `messages` when given; why the pair was read without its lock into `lockNote`.
    bool ReadCalculationFile(const std::string& fileName, std::vector<std::string>* messages = nullptr,
                             std::string* lockNote = nullptr);
    // SAVEDATA: writes the pair, each file replaced atomically (results that show as missing for a
    // lost module record as no number). Clears Modified only when both files were written. Over
    // the pair this module last read or saved, a file that another window or user changed since
    // is not written over unless `writeOverChanges`: nothing is written, and the result says so
    // (ChangedOnDisk) naming the file.
    SaveResult WriteCalculationFile(const std::string& fileName, bool writeOverChanges = false);
    // Everything INITDATA and READDATA change: the records (current, defaults and edit copies),
    // the modified flag and the pair last read or saved, as they are when kept.
    struct KeptCalculation {
        TCommonRecord Common;
        TCommonRecord DefaultCommon;
        TCommonRecord EditCommon;
        THSGRecord Hsg;
        THSGRecord DefaultHsg;
        THSGRecord EditHsg;
        bool Modified = false;
        CalculationFiles SeenFiles;
        std::vector<std::string> SeenFingerprints;
        bool ResultsLost = false;
    };
    // The calculation in hand, and putting it back (tables refreshed) after an opening that
    // started a new one and then could not read its file.
    KeptCalculation Keep() const;
    void Restore(const KeptCalculation& kept);
    // PUSHDATA / POPDATA: the current common record as a stream image; the module record is not
    // part of it. A stream too short for a whole record leaves the record as it was (false).
    void PushData(TStream& stream) const;
    bool PopData(TStream& stream);
    // CALCULATE: the design calculation on the two edit copies.
    void Calculate();
    // SETTODATA: takes values written into the tables (by the value import) into the current
    // records: the inputs of the input pages from `d` and from the `dl` rows of active load
    // cases, the inputs of `dh`, the parameters of `ph` and the parameter set of `dp`. A member
    // is written only when its table value differs from what the last mapping put there, so
    // whatever the tables cannot show (texts longer than their field, the other bits of a code
    // byte) survives. Modified is set when any byte changed; the tables are refreshed.
    // Not a no-op: imported values would otherwise show once, then be lost, never saved or calculated.
    // Values that change the records are calculated at once; where the design refuses them, what
    // it computed before the refusal stands, the tables show the results it could not compute as
    // missing, and the German message of the refusal, naming the field, goes into `messages` when
    // given. The edit copies follow the records.
    void SetToData(std::vector<std::string>* messages = nullptr);
    // Why SETTODATA would not take a value written into the field of that row of the table of
    // that name into the calculation, to follow the field's quoted name ("ist kein Eingabewert
    // der Bemessung."); nothing when it takes it. Not taken: what is no input of the tables'
    // records (a result), the parameter set of `dp` (the design has its own parameters), a load
    // case that is not active, and a concentration of the inflow of load case 0 where the inflow
    // is entered as loads (the design computes it from the load).
    std::optional<std::string> ImportRefusal(std::string_view table, std::string_view field, int row) const;

    // The text of the field Name in the first of the module's tables that has such a field (as
    // plain text: a float in the general format with the user's decimal separator), cut to 255
    // characters; empty when no table has it. "Name#n" (n one digit) reads row n counted from
    // the first row, and gives an empty text when n is not below the table's row count or more
    // characters follow the digit; no digit after the "#" raises EConvertError "'x' ist kein
    // gültiger Integerwert". The tables' cursors stay where they were.
    std::string GetValueText(std::string_view name);

    // The module's tables in the order the report and the import see them: d, dl, dp, dh, ph.
    std::vector<TDataSet*> DataSets();
    // The names of every field of those tables, table by table, each in field order.
    std::vector<std::string> FieldNames();
    TDataModul& DataModul() { return *dataModul_; }
    TzebMemTable& dh() { return *dh_; }
    TzebMemTable& ph() { return *ph_; }

    // EDIT, before the dialog shows: the edit copies start from the current records.
    void TakeEditCopies();
    // Whether the edit copies differ from the current records.
    bool EditCopiesDiffer() const;
    // EDIT, after the dialog ended with OK: when the edit copies differ from the current records
    // they are calculated, committed, the tables refreshed and Modified set; returns whether they
    // differed. Copies without a difference leave everything, Modified included, as it was (a
    // confirmed second look must not forget the changes of the first). An arithmetic error of the
    // calculation passes to the caller before anything is committed.
    bool CommitEditCopies();
    // EDIT, before OK is taken: runs the calculation of the edit copies on copies of them and
    // raises its arithmetic error, so that the dialog can stay open on input that cannot be
    // calculated. Changes nothing.
    void CheckEditCopies() const;

    using ParameterBlockView = std::span<const std::uint8_t, hsg::kParameterBlockSize>;
    // EDITPARAMS, after the parameter dialog ended with OK: a block that differs from the current
    // record's goes into it, Modified is set and the tables refreshed; then the records are
    // recalculated from fresh edit copies and committed, so that results and parameters agree.
    // Returns whether the block differed (an equal block changes nothing). An arithmetic error of
    // the calculation passes to the caller; the parameters then stay committed with what the
    // design computed before it failed, and the tables show the rest as missing.
    bool ApplyParameters(ParameterBlockView block);
    // EDITPARAMS, before OK is taken: why the design refuses the current records with this block,
    // or none. The checks of the parameters at the records' temperature always run, whatever
    // else the design refuses (RefusedParameterChange), and so do those at the defaults'
    // temperature when the block is to become the defaults. Otherwise a calculation that fails
    // with the block where it failed with the current parameters too, leaving uncomputed no more
    // than they did, is no refusal of the block (a new calculation without a flow takes any
    // parameters the design can use); a refusal or an arithmetic error that leaves more uncomputed
    // names the parameter to blame.
    std::optional<ERefusedInput> RefusedParameters(ParameterBlockView block, bool asDefaults = false) const;
    // Why the block cannot become the defaults: the design refuses it at the defaults' own
    // temperature, the message saying so. nullopt when it can.
    std::optional<ERefusedInput> RefusedAsDefaults(ParameterBlockView block) const;
    // EDITPARAMS with "Als Standardwerte verwenden": the block goes into the default module
    // record, which is written to "hsg.vdt", and the default common record to "common.vdt", both
    // in the template folder and each replaced atomically. A failed write keeps that file's old
    // contents; the result then carries the German messages of every failure. A block refused as
    // defaults (RefusedAsDefaults) writes nothing, and the result says why.
    SaveResult SaveDefaultParameters(ParameterBlockView block);

    TCommonRecord& CurrentCommon() { return dataModul_->CurrentRecord; }
    const TCommonRecord& CurrentCommon() const { return dataModul_->CurrentRecord; }
    TCommonRecord& DefaultCommon() { return dataModul_->DefaultRecord; }
    const TCommonRecord& DefaultCommon() const { return dataModul_->DefaultRecord; }
    TCommonRecord& EditCommon() { return editCommon_; }
    const TCommonRecord& EditCommon() const { return editCommon_; }
    THSGRecord& CurrentHsg() { return currentHsg_; }
    const THSGRecord& CurrentHsg() const { return currentHsg_; }
    THSGRecord& DefaultHsg() { return defaultHsg_; }
    const THSGRecord& DefaultHsg() const { return defaultHsg_; }
    THSGRecord& EditHsg() { return editHsg_; }
    const THSGRecord& EditHsg() const { return editHsg_; }

    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }

private:
    std::string TemplateFile(std::string_view name) const;
    // SAVEDATA as the command entry carries it out: a copy keeps Modified as it was, and a
    // failure's message goes into the argument's list.
    bool SaveCalculation(const ModuleArgument& arg);
    // Refreshes the tables after the current records changed: the data module maps the common
    // record into d, dl and dp (writing the fixed load-case texts into it), and dh and ph are
    // filled from the module record.
    void UpdateDataSets();

    std::string moduleTemplateFolder_;
    std::unique_ptr<TDataModul> dataModul_;
    std::unique_ptr<TzebMemTable> dh_;
    std::unique_ptr<TzebMemTable> ph_;
    TCommonRecord editCommon_;
    // The records as the tables show them: the state of the last mapping.
    TCommonRecord mappedCommon_;
    THSGRecord mappedHsg_;
    THSGRecord currentHsg_;
    THSGRecord defaultHsg_;
    THSGRecord editHsg_;
    bool modified_ = false;
    // The current results were computed with a module record that the file lacked: they show as
    // missing until the next calculation.
    bool resultsLost_ = false;
    // The pair as this module last read or saved it, and what its files held then (their
    // fingerprints, in the order of the save): a save over it sees a change made since.
    CalculationFiles seenFiles_;
    std::vector<std::string> seenFingerprints_;
};

}  // namespace velmoran
