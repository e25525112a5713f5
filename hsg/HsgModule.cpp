// Records, files and commands of the design module.
#include "hsg/HsgModule.h"

#include "framework/MemberFields.h"
#include "framework/RecordFiles.h"
#include "framework/RecordMembers.h"
#include "hsg/DesignInputs.h"
#include "hsg/HsgCalculation.h"
#include "hsg/HsgTables.h"
#include "platform/core/DocumentFile.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Stream.h"
#include "platform/core/Text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <initializer_list>
#include <limits>
#include <optional>
#include <span>
#include <string_view>

namespace velmoran {

namespace {

// The members that the input pages edit and that a table shows: header members in `d`, members
// of a load case in its `dl` row, module-record inputs in `dh`.
constexpr std::array<std::string_view, 6> kHeaderInputs = {"Projekt", "Bearbeiter", "Datum", "FT", "HE", "DN"};
constexpr std::array<std::string_view, 17> kLoadCaseInputs = {
    "QD", "CBSBzb", "XTSzb", "CTKNzb", "SNH4zb", "SNO3zb", "CPzb", "SKSzb", "TSBB",
    "T",  "Beta",   "SorgNan", "DV",   "SNO3an", "cx",     "fC",   "fN"};
constexpr std::array<std::string_view, 10> kHsgInputs = {"SFH", "SH", "SO2zb", "SNH4ANSP", "SO2RF",
                                                         "EtaPBio", "AT", "SSA100", "Alpha", "OP100"};
// The concentrations of the inflow of load case 0 that the design computes from the loads where
// the inflow is entered as loads.
constexpr std::array<std::string_view, 6> kConcentrationInputs = {"CBSBzb", "XTSzb",  "CTKNzb",
                                                                  "SNH4zb", "SNO3zb", "CPzb"};

template <class Names>
bool Among(const Names& names, std::string_view name)
{
    return std::ranges::any_of(names, [name](std::string_view each) { return SameText(each, name); });
}

// Stores into the record every member whose field in the current row of `live` differs from the
// same field of `shown` (the tables as the mapping shows the record). Names that are no member
// of the areas, and fields of names not given, are left alone.
template <class Names>
void StoreChangedMembers(const TDataSet& live, const TDataSet& shown, TMutableView record,
                         std::span<const MemberInfo> members, const Names& names,
                         std::initializer_list<MemberArea> areas)
{
    if (live.IsEmpty() || shown.IsEmpty())
        return;
    for (const auto& name : names) {
        const MemberInfo* member = FindMemberIn(members, name, areas);
        const TField* liveField = live.FindField(name);
        const TField* shownField = shown.FindField(name);
        if (member && liveField && shownField && !SameFieldValue(*liveField, *shownField))
            StoreFieldInMember(*liveField, record, *member);
    }
}

// The names of a table's fields.
std::vector<std::string> FieldNamesOf(const TDataSet& table)
{
    std::vector<std::string> names;
    for (const auto& field : table.Fields())
        names.push_back(field->FieldName());
    return names;
}

// Empties the named fields of the table's first row (load case 0) to "no number"; the cursor
// stays where the mapping left it.
void ShowAsMissing(TDataSet& table, std::span<const std::string_view> names)
{
    const TBookmark place = table.GetBookmark();
    EditSingleRow(table);
    for (std::string_view name : names)
        if (TField* field = table.FindField(name))
            field->SetAsFloat(std::numeric_limits<double>::quiet_NaN());
    table.Post();
    if (!place.Empty())
        table.GotoBookmark(place);
}

// Every result the design computes as no number, as the tables show a result not computed.
void ForgetResults(TCommonRecord& common, THSGRecord& hsgRecord)
{
    constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    for (std::string_view name : DesignResults()) {
        if (const MemberInfo* member = FindMember(HsgRecordMembers(), name))
            hsgRecord.SetDouble(member->Offset, kNone);
        else if (const MemberInfo* member = FindMember(CommonRecordMembers(), name))
            member->Area == MemberArea::LoadCase ? common.Block(0).SetDouble(member->Offset, kNone)
                                                 : common.SetDouble(member->Offset, kNone);
    }
}

// A defaults file that an earlier version let take a parameter the design refuses (a temperature
// constant of 0, an autotrophic decay faster than growth at the defaults' temperature) stopped
// every new calculation, and the parameter dialog with it: such a parameter takes its built-in
// value; the others stay as the file has them.
void TakeBuiltInForRefusedParameters(const TCommonRecord& defaultCommon, THSGRecord& defaults)
{
    THSGRecord builtIn = defaults;
    THSGRecord fresh;
    SetBuiltInDefaults(fresh);
    std::ranges::copy(fresh.ParameterBlock(), builtIn.ParameterBlock().begin());
    for (std::size_t parameter = 0; parameter < hsg::kParameterBlockSize / sizeof(double); ++parameter) {
        const std::optional<ERefusedInput> refusal = RefusedParameterChange(defaultCommon, builtIn, defaults);
        const MemberInfo* member = refusal && IsParameter(refusal->Field())
                                       ? FindMember(HsgRecordMembers(), refusal->Field())
                                       : nullptr;
        if (!member)
            return;
        defaults.SetDouble(member->Offset, builtIn.Double(member->Offset));
    }
}

// The results a failure of the calculation leaves uncomputed: an arithmetic error, all of them.
std::span<const std::string_view> Uncomputed(const ERefusedInput& failure)
{
    return failure.Field().empty() ? DesignResults() : failure.Results();
}

// Whether a failure leaves uncomputed only what the failure before did.
bool NoWorseThan(const ERefusedInput& failure, const std::optional<ERefusedInput>& before)
{
    if (!before)
        return false;
    const std::span<const std::string_view> was = Uncomputed(*before);
    return std::ranges::all_of(Uncomputed(failure), [was](std::string_view result) {
        return std::ranges::find(was, result) != was.end();
    });
}

// The calculation's failure on copies of the records, or none.
std::optional<ERefusedInput> CalculationFailure(TCommonRecord common, THSGRecord hsgRecord)
{
    try {
        HsgCalculate(common, hsgRecord);
        return std::nullopt;
    } catch (const ERefusedInput& refusal) {
        return refusal;
    } catch (const EMathError& error) {
        return ERefusedInput({}, error.Message(), {});
    }
}

// What a lost module file means comes first: in a narrow window the status line shows only the
// start, and a file name with its folder once pushed the consequence out of sight.
std::string DefaultsUsed(std::string_view why)
{
    return "Für die Werte der Bemessung gelten die Standardwerte, und die Ergebnisse stehen bis zur nächsten "
           "Berechnung als „#“: " +
           std::string(why) + ".";
}

void Tell(std::vector<std::string>* messages, std::string text)
{
    if (messages)
        messages->push_back(std::move(text));
}

enum class CompanionRead { Whole, Missing, Short, Unreadable };

// Reads the module file of a calculation into the record: only a whole record is taken (a longer
// file gives its first record); a missing or short file leaves the record as it was, since a short
// one is a save cut off or no module file, and laid over the record would make a calculation of neither.
CompanionRead ReadCompanionFile(const std::string& fileName, THSGRecord& record)
{
    std::error_code error;
    if (!std::filesystem::exists(fileName, error))
        return CompanionRead::Missing;
    std::string bytes;
    try {
        bytes = ReadDocumentFile(fileName, THSGRecord::kSize, LongerFile::Cut);
    } catch (const Exception&) {
        return CompanionRead::Unreadable;
    }
    if (bytes.size() < THSGRecord::kSize)
        return CompanionRead::Short;
    std::copy(bytes.begin(), bytes.end(), record.Raw().begin());
    return CompanionRead::Whole;
}

// The pair in the order it is saved, the ".vda" last: its rename completes a save. A file shorter
// than its record is no whole copy of it.
std::vector<SavedFile> PairToSave(const CalculationFiles& files)
{
    return {{files.Hsg, THSGRecord::kSize}, {files.Common, TCommonRecord::kSize}};
}

}  // namespace

CalculationFiles PairCalculationFiles(std::string_view fileName)
{
    const std::size_t slash = fileName.find_last_of('/');
    const std::size_t fileStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t dot = fileName.find_last_of('.');
    const bool hasExt = dot != std::string_view::npos && dot >= fileStart;
    const std::string base(hasExt ? fileName.substr(0, dot) : fileName);
    const std::string_view ext = hasExt ? fileName.substr(dot) : std::string_view();

    const std::string name(fileName);
    // Saved as the whole pair too: a ".vdh" alone would lose the calculation's common record.
    if (!hasExt)
        return {base + std::string(THsgModule::kCommonExt), base + std::string(THsgModule::kCompanionExt)};
    if (ext == THsgModule::kCompanionExt)
        return {base + std::string(THsgModule::kCommonExt), name};
    return {name, base + std::string(THsgModule::kCompanionExt)};
}

CalculationFiles ResolvedCalculationFiles(std::string_view fileName)
{
    CalculationFiles files = PairCalculationFiles(fileName);
    const std::string common = ResolvedPath(files.Common);
    if (common == files.Common)
        return files;
    // The partner lies beside the file the link names, so that the pair stays one in its folder.
    // A link to a module file or to a name without extension is paired as it is written.
    CalculationFiles resolved = PairCalculationFiles(common);
    return resolved.Common == common ? resolved : files;
}

THsgModule::THsgModule()
    : dataModul_(std::make_unique<TDataModul>()),
      dh_(std::make_unique<TzebMemTable>()),
      ph_(std::make_unique<TzebMemTable>())
{
    DeclareHsgTables(*dh_, *ph_);
    dh_->Open();
    ph_->Open();
}

THsgModule::THsgModule(THsgModule&&) noexcept = default;
THsgModule& THsgModule::operator=(THsgModule&&) noexcept = default;
THsgModule::~THsgModule() = default;

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
        return !arg.Text.empty() && ReadCalculationFile(arg.Text, arg.List, arg.LockNote);
    case ModuleCommand::SaveData:
        // Without a name the pair would be ".vda" and ".vdh" in the working folder.
        return !arg.Text.empty() && SaveCalculation(arg);
    case ModuleCommand::SetToData:
        SetToData(arg.List);
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
    TCommonRecord& defaultCommon = DefaultCommon();
    defaultCommon.Clear();
    defaultHsg_.Clear();
    SetBuiltInDefaults(defaultHsg_);
    defaultCommon.Block(0).SetWord(block::kFlags, block::kFlagAktiv);
    // Each defaults file replaces its record only when it could be read whole: a cut-off one would
    // mix its first members with the built-in values unseen, and every new calculation start from that.
    ReadRecordFile(TemplateFile(kHsgDefaultsFile), defaultHsg_.Raw());
    dataModul_->LoadSecondRecordFromFile(TemplateFile(kCommonDefaultsFile));
    TakeBuiltInForRefusedParameters(defaultCommon, defaultHsg_);
    CurrentCommon() = defaultCommon;
    currentHsg_ = defaultHsg_;
    modified_ = false;
    resultsLost_ = false;
    seenFiles_ = {};
    seenFingerprints_.clear();
    UpdateDataSets();
    // CALCULATE works on the edit copies: they follow the records until a dialog edits them.
    TakeEditCopies();
}

bool THsgModule::ReadCalculationFile(const std::string& fileName, std::vector<std::string>* messages,
                                     std::string* lockNote)
{
    // Failures are reported, not answered as success: the defaults would pass for the file and be saved over it.
    const CalculationFiles files = ResolvedCalculationFiles(fileName);
    // The names as the user knows them, for the messages.
    const CalculationFiles named = PairCalculationFiles(fileName);
    // A save that was cut short is taken back or completed first, so that the pair read is one;
    // where its folder cannot be changed, the pair is read from where it stands, or not at all.
    const RecoveredFiles pair = RecoverInterruptedSave(PairToSave(files));
    if (!pair.Ok) {
        Tell(messages, pair.Message);
        return false;
    }
    if (lockNote)
        *lockNote = pair.LockNote;
    const std::string& hsgFile = pair.ReadFrom[0];
    const std::string& commonFile = pair.ReadFrom[1];
    if (!pair.Message.empty())
        Tell(messages, pair.Message);
    TCommonRecord common;
    if (!LoadRecordFromFile(common, commonFile)) {
        Tell(messages, UnreadableMessage(named.Common, UnreadableReason(commonFile, TCommonRecord::kSize)));
        return false;
    }
    THSGRecord hsgRecord = currentHsg_;
    const CompanionRead companion = ReadCompanionFile(hsgFile, hsgRecord);
    switch (companion) {
    case CompanionRead::Whole:
        break;
    case CompanionRead::Missing:
        Tell(messages, DefaultsUsed("Die Datei " + Quoted(named.Hsg) + " fehlt"));
        break;
    case CompanionRead::Short:
        Tell(messages, DefaultsUsed("Die Datei " + Quoted(named.Hsg) + " ist unvollständig"));
        break;
    case CompanionRead::Unreadable:
        Tell(messages, UnreadableMessage(named.Hsg, UnreadableReason(hsgFile)));
        return false;
    }

    CurrentCommon() = common;
    currentHsg_ = hsgRecord;
    // The results of the file were computed with the module record that is lost: beside the
    // defaults they would pass for theirs (Q_L,N 0 beside X_P,BM 2,30).
    resultsLost_ = companion != CompanionRead::Whole;
    UpdateDataSets();
    TakeEditCopies();
    modified_ = false;
    seenFiles_ = files;
    seenFingerprints_ = pair.Fingerprints;
    return true;
}

THsgModule::KeptCalculation THsgModule::Keep() const
{
    return {CurrentCommon(), DefaultCommon(), editCommon_,       currentHsg_,  defaultHsg_,
            editHsg_,        modified_,       seenFiles_,        seenFingerprints_, resultsLost_};
}

void THsgModule::Restore(const KeptCalculation& kept)
{
    CurrentCommon() = kept.Common;
    DefaultCommon() = kept.DefaultCommon;
    currentHsg_ = kept.Hsg;
    defaultHsg_ = kept.DefaultHsg;
    resultsLost_ = kept.ResultsLost;
    UpdateDataSets();
    editCommon_ = kept.EditCommon;
    editHsg_ = kept.EditHsg;
    modified_ = kept.Modified;
    seenFiles_ = kept.SeenFiles;
    seenFingerprints_ = kept.SeenFingerprints;
}

SaveResult THsgModule::WriteCalculationFile(const std::string& fileName, bool writeOverChanges)
{
    // The pair is saved as one: a save interrupted between the two files would leave a mix of two calculations.
    const CalculationFiles files = ResolvedCalculationFiles(fileName);
    const std::vector<SavedFile> pair = PairToSave(files);
    // Results computed with a module record that is lost are saved as not computed, as they show:
    // saved as numbers they would pass for those of the defaults beside them when opened again.
    TCommonRecord common = CurrentCommon();
    THSGRecord hsgRecord = currentHsg_;
    if (resultsLost_)
        ForgetResults(common, hsgRecord);
    std::vector<FileContents> contents = {{pair[0].FileName, RecordBytes(hsgRecord.Raw()), pair[0].WholeSize},
                                          {pair[1].FileName, RecordBytes(common.Raw()), pair[1].WholeSize}};
    // Two windows or two users on one file: the later save must not drop the earlier one's
    // change unasked.
    if (!writeOverChanges && files == seenFiles_ && seenFingerprints_.size() == contents.size())
        for (std::size_t i = 0; i < contents.size(); ++i)
            contents[i].SeenAs = seenFingerprints_[i];
    SaveResult result = WriteFilesAtomically(contents);
    if (!result)
        return result;
    modified_ = false;
    seenFiles_ = files;
    seenFingerprints_.clear();
    for (const FileContents& file : contents)
        seenFingerprints_.push_back(BytesFingerprint(file.Bytes));
    return result;
}

bool THsgModule::SaveCalculation(const ModuleArgument& arg)
{
    const bool modifiedBefore = modified_;
    // A copy leaves the calculation's own file what it was, and so what was seen of it.
    const CalculationFiles seenFiles = seenFiles_;
    const std::vector<std::string> seenFingerprints = seenFingerprints_;
    const SaveResult saved = WriteCalculationFile(arg.Text, arg.WriteOverChanges);
    if (arg.Copy) {
        modified_ = modifiedBefore;
        seenFiles_ = seenFiles;
        seenFingerprints_ = seenFingerprints;
    }
    if (!saved && arg.List)
        arg.List->push_back(saved.Message);
    if (arg.LockNote)
        *arg.LockNote = saved.LockNote;
    if (saved.ChangedOnDisk && arg.ChangedOnDisk)
        *arg.ChangedOnDisk = true;
    return saved.Ok;
}

void THsgModule::PushData(TStream& stream) const
{
    dataModul_->SaveRecordToStream(stream);
}

bool THsgModule::PopData(TStream& stream)
{
    return dataModul_->LoadRecordFromStream(stream);
}

void THsgModule::Calculate()
{
    HsgCalculate(editCommon_, editHsg_);
}

void THsgModule::TakeEditCopies()
{
    editCommon_ = CurrentCommon();
    editHsg_ = currentHsg_;
}

bool THsgModule::EditCopiesDiffer() const
{
    return !(editHsg_ == currentHsg_ && editCommon_ == CurrentCommon());
}

void THsgModule::CheckEditCopies() const
{
    TCommonRecord common = editCommon_;
    THSGRecord hsgRecord = editHsg_;
    HsgCalculate(common, hsgRecord);
}

bool THsgModule::CommitEditCopies()
{
    if (!EditCopiesDiffer())
        return false;
    HsgCalculate(editCommon_, editHsg_);
    CurrentCommon() = editCommon_;
    currentHsg_ = editHsg_;
    resultsLost_ = false;
    UpdateDataSets();
    modified_ = true;
    return true;
}

bool THsgModule::ApplyParameters(ParameterBlockView block)
{
    if (std::ranges::equal(block, currentHsg_.ParameterBlock()))
        return false;
    std::ranges::copy(block, currentHsg_.ParameterBlock().begin());
    modified_ = true;
    TakeEditCopies();
    // What the design computed before a refusal stands with the new parameters, and what it left
    // shows as missing: the sludge age of the parameters before once stayed beside the new ones.
    std::exception_ptr failure;
    try {
        HsgCalculate(editCommon_, editHsg_);
    } catch (const EMathError&) {
        failure = std::current_exception();
    }
    CurrentCommon() = editCommon_;
    currentHsg_ = editHsg_;
    resultsLost_ = false;
    UpdateDataSets();
    if (failure)
        std::rethrow_exception(failure);
    return true;
}

std::optional<ERefusedInput> THsgModule::RefusedParameters(ParameterBlockView block, bool asDefaults) const
{
    THSGRecord hsgRecord = currentHsg_;
    std::ranges::copy(block, hsgRecord.ParameterBlock().begin());
    // Checked whatever else the design refuses here: a calculation refused for its inflow once
    // let any block through, into the defaults too.
    if (std::optional<ERefusedInput> refusal = RefusedParameterChange(CurrentCommon(), currentHsg_, hsgRecord))
        return refusal;
    if (asDefaults)
        if (std::optional<ERefusedInput> refusal = RefusedAsDefaults(block))
            return refusal;
    const std::optional<ERefusedInput> failure = CalculationFailure(CurrentCommon(), hsgRecord);
    if (!failure)
        return std::nullopt;
    // A calculation the parameters before could not compute either (a new one has no flow yet) is
    // no fault of these, where they leave uncomputed no more than it did. One refused at its last
    // stage (c_x at saturation) once took parameters the design refused before it, and every
    // result turned "#" without a word.
    const std::optional<ERefusedInput> before = CalculationFailure(CurrentCommon(), currentHsg_);
    if (NoWorseThan(*failure, before))
        return std::nullopt;
    if (IsParameter(failure->Field()))
        return failure;
    // The inflow refused or an arithmetic error that the parameters bring: the parameter to blame
    // is named (a bare "Gleitkommaüberlauf" once named none), so that the dialog shows it.
    return BlameParameterChange(*failure, currentHsg_, hsgRecord, [&](const THSGRecord& trial) {
        const std::optional<ERefusedInput> trialFailure = CalculationFailure(CurrentCommon(), trial);
        return trialFailure && !NoWorseThan(*trialFailure, before);
    });
}

std::optional<ERefusedInput> THsgModule::RefusedAsDefaults(ParameterBlockView block) const
{
    THSGRecord defaults = defaultHsg_;
    std::ranges::copy(block, defaults.ParameterBlock().begin());
    const std::optional<ERefusedInput> refusal = RefusedParameterChange(DefaultCommon(), defaultHsg_, defaults);
    if (!refusal)
        return std::nullopt;
    return ERefusedInput(refusal->Field(), "Als Standardwerte für neue Berechnungen: " + refusal->Message(),
                         refusal->Results());
}

SaveResult THsgModule::SaveDefaultParameters(ParameterBlockView block)
{
    // Every new calculation would stop on them, and the parameter dialog with it.
    if (const std::optional<ERefusedInput> refusal = RefusedAsDefaults(block))
        return {false, refusal->Message()};
    std::ranges::copy(block, defaultHsg_.ParameterBlock().begin());
    if (moduleTemplateFolder_.empty())
        return {false, "Für das Modul ist kein Vorlagenordner festgelegt."};
    // Two separate saves: a defaults file that can be written is worth having even when the
    // other cannot.
    const SaveResult hsgSaved = WriteRecordFile(TemplateFile(kHsgDefaultsFile), defaultHsg_.Raw());
    const SaveResult commonSaved = dataModul_->SaveSecondRecordToFile(TemplateFile(kCommonDefaultsFile));
    SaveResult result{hsgSaved.Ok && commonSaved.Ok, {}};
    for (const SaveResult* part : {&hsgSaved, &commonSaved})
        if (!part->Ok)
            result.Message += (result.Message.empty() ? "" : "\n") + part->Message;
    return result;
}

void THsgModule::SetToData(std::vector<std::string>* messages)
{
    TCommonRecord& common = CurrentCommon();
    const TCommonRecord commonBefore = common;
    const THSGRecord hsgBefore = currentHsg_;

    // The tables as the last mapping filled them: a table value that differs from these was
    // written by someone else and goes into its member. (The records may have changed since, by
    // POPDATA, without a mapping.)
    TDataModul shown;
    shown.CurrentRecord = mappedCommon_;
    shown.RecordToTables();
    TzebMemTable shownDh, shownPh;
    DeclareHsgTables(shownDh, shownPh);
    FillHsgTables(shownDh, shownPh, mappedHsg_);

    TDataModul& dm = *dataModul_;
    const auto members = CommonRecordMembers();
    StoreChangedMembers(dm.d, shown.d, common.View(), members, kHeaderInputs, {MemberArea::Header});
    for (std::size_t k = 0; k < common::kBlockCount; ++k) {
        const int row = static_cast<int>(k);
        if ((mappedCommon_.Block(k).Word(block::kFlags) & block::kFlagAktiv) == 0 || dm.dl.RecordCount() <= row ||
            shown.dl.RecordCount() <= row)
            continue;
        dm.dl.First();
        dm.dl.MoveBy(row);
        shown.dl.First();
        shown.dl.MoveBy(row);
        StoreChangedMembers(dm.dl, shown.dl, common.Block(k), members, kLoadCaseInputs, {MemberArea::LoadCase});
    }
    StoreChangedMembers(dm.dp, shown.dp, common.View(), members, FieldNamesOf(dm.dp), {MemberArea::Parameters});
    StoreChangedMembers(*dh_, shownDh, currentHsg_.View(), HsgRecordMembers(), kHsgInputs, {MemberArea::Record});
    StoreChangedMembers(*ph_, shownPh, currentHsg_.View(), HsgRecordMembers(), FieldNamesOf(*ph_),
                        {MemberArea::Record});

    const bool changed = common != commonBefore || currentHsg_ != hsgBefore;
    modified_ = modified_ || changed;
    // Imported input is calculated at once: an imported temperature once stood beside the sludge
    // age and volume of the temperature before, on the page, in the file and in print. Where the
    // design refuses the input, what it computed before the refusal stands, the tables show the
    // rest as missing, and the user is told why (every result "#" without a word once). Dropped
    // whole, a run refused at its last stage left the results of the input before beside the
    // imported temperature.
    if (changed) {
        try {
            HsgCalculate(common, currentHsg_);
        } catch (const EMathError& error) {
            // A refusal at the last stage leaves most results computed: said so, with every
            // refusal of that stage, since each leaves its own results as "#" (h_E 0 beside a
            // TS_BB of 0 once left Q_L,N "#" without a word on the depth).
            const auto* refusal = dynamic_cast<const ERefusedInput*>(&error);
            const bool partly = refusal && refusal->Results().size() < DesignResults().size();
            std::string why = error.Message();
            if (partly)
                for (const ERefusedInput& other : RefusalsAtTheEnd(common, currentHsg_))
                    if (other.Field() != refusal->Field())
                        why += "\n" + other.Message();
            Tell(messages, std::string("Mit den importierten Werten ") +
                               (partly ? "lässt sich nicht alles berechnen:\n" : "ist keine Berechnung möglich:\n") +
                               why + "\nWas sich deshalb nicht berechnen lässt, steht als „#“.");
        }
        resultsLost_ = false;
    }
    UpdateDataSets();
    TakeEditCopies();
}

std::optional<std::string> THsgModule::ImportRefusal(std::string_view table, std::string_view field, int row) const
{
    constexpr const char* kNoInput = "ist kein Eingabewert der Bemessung.";
    if (SameText(table, "dp"))
        return "ist ein Parameter: ein Import ändert die Parameter der Bemessung nicht. " +
               std::string(kWhereParametersChange);
    if (SameText(table, "d") && !Among(kHeaderInputs, field))
        return kNoInput;
    if (SameText(table, "dh") && !Among(kHsgInputs, field))
        return kNoInput;
    if (!SameText(table, "dl"))
        return std::nullopt;
    if (!Among(kLoadCaseInputs, field))
        return kNoInput;
    if (row < 0 || static_cast<std::size_t>(row) >= common::kBlockCount ||
        (CurrentCommon().Block(static_cast<std::size_t>(row)).Word(block::kFlags) & block::kFlagAktiv) == 0)
        return "gehört zu einem Lastfall, der nicht aktiv ist.";
    if (row == 0 && (CurrentCommon().Block(0).Word(block::kFlags) & block::kFlagLoads) != 0 &&
        Among(kConcentrationInputs, field))
        return "ist eine Konzentration im Zulauf, der in dieser Berechnung als Fracht eingegeben ist: die Bemessung "
               "berechnet sie aus der Fracht.";
    return std::nullopt;
}

std::string THsgModule::GetValueText(std::string_view name)
{
    std::string_view fieldName = name;
    int row = -1;  // -1: the row at the cursor
    if (const std::size_t hash = name.find('#'); hash != std::string_view::npos) {
        fieldName = name.substr(0, hash);
        const std::string_view index = name.substr(hash + 1);
        // A row is a digit: anything else after the "#" is no row number, and says so.
        if (index.empty() || index[0] < '0' || index[0] > '9')
            throw EConvertError::InvalidInteger(index.substr(0, 1));
        // "QD#20" gives no value rather than row 2's under a name that asks for row 20.
        if (index.size() != 1)
            return {};
        row = index[0] - '0';
    }
    for (TDataSet* table : DataSets()) {
        const TField* field = table->FindField(fieldName);
        if (!field)
            continue;
        if (row < 0)
            return CutToCharacters(field->AsString(), kShortStringMax);
        // A row the table lacks has no value: the cursor's row would answer under another row's name.
        if (row >= table->RecordCount())
            return {};
        // Counted from the first row and the cursor put back: from the cursor, each answer would hang on the last read.
        const TBookmark place = table->GetBookmark();
        table->First();
        table->MoveBy(row);
        std::string text = CutToCharacters(field->AsString(), kShortStringMax);
        if (!place.Empty())
            table->GotoBookmark(place);
        return text;
    }
    return {};
}

std::vector<TDataSet*> THsgModule::DataSets()
{
    std::vector<TDataSet*> sets = dataModul_->DataSets();
    sets.push_back(dh_.get());
    sets.push_back(ph_.get());
    return sets;
}

std::vector<std::string> THsgModule::FieldNames()
{
    std::vector<std::string> names;
    for (const TDataSet* table : DataSets())
        for (std::string& name : FieldNamesOf(*table))
            names.push_back(std::move(name));
    return names;
}

void THsgModule::UpdateDataSets()
{
    dataModul_->RecordToTables();
    FillHsgTables(*dh_, *ph_, currentHsg_);
    // A file or an import may hold input the design refuses (a TS_BB of 0, an alpha value of 0)
    // beside the results of earlier input: those results show as missing (no number, printed
    // as "#").
    std::vector<std::string_view> missing = ResultsNotComputed(CurrentCommon(), currentHsg_);
    if (resultsLost_)
        missing.assign(DesignResults().begin(), DesignResults().end());
    if (!missing.empty())
        for (TDataSet* table : {static_cast<TDataSet*>(&dataModul_->d), static_cast<TDataSet*>(&dataModul_->dl),
                                static_cast<TDataSet*>(dh_.get())})
            ShowAsMissing(*table, missing);
    mappedCommon_ = CurrentCommon();
    mappedHsg_ = currentHsg_;
}

}  // namespace velmoran
