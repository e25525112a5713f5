// Saving and loading the table through formats: streams, files (replaced only once written
// whole), the persistent file with its backup, the "Data" bytes of a stored description, and
// emptying every table on the store.
#include "memtable/MemTable.h"

#include "memtable/StreamFormat.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/ScopeExit.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>

namespace velmoran {

namespace {

const char* const kNoFormat = "Kein Dateiformat angegeben";

TzebCustomStreamFormat& CheckFormat(TzebCustomStreamFormat* format)
{
    if (!format)
        throw EMemTableError(kNoFormat);
    return *format;
}

// The name with its extension (from the last "." of the last path part) replaced.
std::string ChangeFileExt(const std::string& fileName, std::string_view extension)
{
    const std::size_t slash = fileName.find_last_of('/');
    std::size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        dot = fileName.size();
    return fileName.substr(0, dot) + std::string(extension);
}

[[noreturn]] void SaveFailed(const std::string& fileName, int error)
{
    throw EWriteError("Die Datei \"" + fileName + "\" konnte nicht gespeichert werden: " + FileErrorReason(error));
}

}  // namespace

void TzebCustomMemTable::SetFormat(int slot, TzebCustomStreamFormat* format)
{
    formats_[static_cast<std::size_t>(slot)] = format;
    if (format)
        FreeNotification(format);
}

// ---- streams and files ----

void TzebCustomMemTable::SaveToStreamViaFormat(TStream& stream, TzebCustomStreamFormat* format)
{
    TzebCustomStreamFormat& checked = CheckFormat(format);
    if (OnSave)
        OnSave(*this, mtstStream, &stream);
    checked.RunSave(*this, stream);
}

void TzebCustomMemTable::LoadFromStreamViaFormat(TStream& stream, TzebCustomStreamFormat* format)
{
    TzebCustomStreamFormat& checked = CheckFormat(format);
    if (OnLoad)
        OnLoad(*this, mtstStream, &stream);
    checked.RunLoad(*this, stream);
}

void TzebCustomMemTable::SaveToFileViaFormat(const std::string& fileName, TzebCustomStreamFormat* format)
{
    TzebCustomStreamFormat& checked = CheckFormat(format);
    auto save = [&](TStream& stream) {
        if (OnSave)
            OnSave(*this, mtstFile, &stream);
        checked.RunSave(*this, stream);
    };
    if (checked.Option(sfoAppend).Flag1 && FileExists(fileName)) {
        // Appending extends the file in place.
        TFileStream file(fileName, FileMode::OpenReadWrite);
        file.Seek(0, SeekOrigin::End);
        save(file);
        return;
    }
    // A format failing halfway must not cost the old file: it is replaced only when whole.
    std::exception_ptr failure;
    const SaveResult result = WriteFileAtomically(fileName, [&](TStream& stream) {
        try {
            save(stream);
        } catch (...) {
            failure = std::current_exception();
            throw;
        }
    });
    if (failure)
        std::rethrow_exception(failure);
    if (!result)
        throw EWriteError(result.Message);
}

void TzebCustomMemTable::LoadFromFileViaFormat(const std::string& fileName, TzebCustomStreamFormat* format)
{
    TzebCustomStreamFormat& checked = CheckFormat(format);
    TFileStream file(fileName, FileMode::OpenRead);
    if (OnLoad)
        OnLoad(*this, mtstFile, &file);
    checked.RunLoad(*this, file);
}

std::string TzebCustomMemTable::AllData()
{
    TMemoryStream bytes;
    SaveToStreamViaFormat(bytes, AllDataFormat());
    return bytes.ToString();
}

void TzebCustomMemTable::SetAllData(std::string_view bytes)
{
    TMemoryStream stream(bytes);
    LoadFromStreamViaFormat(stream, AllDataFormat());
}

std::string TzebCustomMemTable::CommaText()
{
    TMemoryStream bytes;
    SaveToStreamViaFormat(bytes, CommaTextFormat());
    return bytes.ToString();
}

void TzebCustomMemTable::SetCommaText(std::string_view text)
{
    TMemoryStream stream(text);
    LoadFromStreamViaFormat(stream, CommaTextFormat());
}

// ---- the persistent file ----

void TzebCustomMemTable::SavePersistent()
{
    if (!open_ || persistentSaved_ || !Persistent || PersistentFile.empty() || !PersistentFormat())
        return;
    const std::string temporary = ChangeFileExt(PersistentFile, ".$$$");
    std::remove(temporary.c_str());
    try {
        SaveToFileViaFormat(temporary, PersistentFormat());
        // The old file is copied, not moved, to the backup name: until the rename below the
        // persistent name always holds a whole file.
        if (PersistentBackup && FileExists(PersistentFile)) {
            const SaveResult copied =
                WriteFileAtomically(ChangeFileExt(PersistentFile, PersistentBackupExt), ReadFileBytes(PersistentFile));
            if (!copied)
                throw EWriteError(copied.Message);
        }
        if (std::rename(temporary.c_str(), PersistentFile.c_str()) != 0)
            SaveFailed(PersistentFile, errno);
    } catch (...) {
        std::remove(temporary.c_str());
        throw;
    }
    persistentSaved_ = true;
}

void TzebCustomMemTable::LoadPersistent()
{
    if (!open_ || !Persistent || PersistentFile.empty() || !PersistentFormat() || !FileExists(PersistentFile))
        return;
    {
        const ScopedValue<bool> off(Persistent, false);
        LoadFromFileViaFormat(PersistentFile, PersistentFormat());
    }
    First();
}

// ---- "Data" ----

bool TzebCustomMemTable::WriteFormData(TStream& stream)
{
    if (!StoreDataOnForm || !Active())
        return false;
    SaveToStreamViaFormat(stream, FormFormat());
    return true;
}

void TzebCustomMemTable::ReadFormData(TStream& stream)
{
    formData_ = std::make_unique<TMemoryStream>();
    formData_->CopyFrom(stream, 0);
    if (Active())
        LoadFormData();
}

void TzebCustomMemTable::LoadFormData()
{
    if (!formData_)
        return;
    std::unique_ptr<TMemoryStream> data = std::move(formData_);
    data->SetPosition(0);
    LoadFromStreamViaFormat(*data, FormFormat());
}

// ---- emptying ----

void TzebCustomMemTable::EmptyTable()
{
    ReportProgress(0, mtpcEmpty);
    DisableControls();
    try {
        TzebCommon::Guard guard(*store_);
        for (TzebCustomMemTable* table : std::vector<TzebCustomMemTable*>(store_->AttachedTables())) {
            if (!table || !table->open_)
                continue;
            if (table->State() == dsEdit || table->State() == dsInsert)
                table->Cancel();
            table->indexes_.ClearRecords();
            // Emptying numbers the records anew: no place of a delete still names one.
            table->deletedPlaces_.clear();
            table->cursor_ = table->savedCursor_ = -1;
            table->ClearBuffers();
            table->DataEvent(dcDataSetChange);
        }
        store_->Empty();
    } catch (...) {
        EnableControls();
        throw;
    }
    EnableControls();
    ReportProgress(100, mtpcEmpty);
}

}  // namespace velmoran
