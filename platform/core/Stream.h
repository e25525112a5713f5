// Byte streams: the memory and file streams through which records, templates and result pages
// are read and written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmoran {

enum class SeekOrigin { Begin, Current, End };

class TStream {
public:
    virtual ~TStream() = default;

    // Reads up to count bytes and returns how many were read.
    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    // Writes count bytes and returns how many were written.
    virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
    // Moves the position and returns the new one.
    virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;
    virtual std::int64_t Size();
    virtual void SetSize(std::int64_t size) = 0;

    std::int64_t Position() { return Seek(0, SeekOrigin::Current); }
    void SetPosition(std::int64_t position) { Seek(position, SeekOrigin::Begin); }

    // Reads exactly count bytes or raises EReadError.
    void ReadBuffer(void* buffer, std::int64_t count);
    // Writes exactly count bytes or raises EWriteError.
    void WriteBuffer(const void* buffer, std::int64_t count);
    void WriteString(std::string_view bytes) { WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size())); }

    // Copies count bytes from source's position; a count of 0 copies the whole source from its
    // start. Returns the count copied; a short source raises EReadError.
    std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string_view bytes);

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }
    void SetSize(std::int64_t size) override;

    void Clear();
    const std::uint8_t* Memory() const { return data_.data(); }
    std::string_view View() const { return {reinterpret_cast<const char*>(data_.data()), data_.size()}; }
    std::string ToString() const { return std::string(View()); }

    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);
    void LoadFromStream(TStream& source);
    void SaveToStream(TStream& target);

private:
    std::vector<std::uint8_t> data_;
    std::int64_t position_ = 0;
};

// File stream modes, as the callers know them.
enum class FileMode {
    OpenRead,       // existing file, reading only
    OpenWrite,      // existing file, writing only
    OpenReadWrite,  // existing file, reading and writing
    Create,         // new or truncated file, reading and writing
};

class TFileStream : public TStream {
public:
    // Raises EFOpenError when the file cannot be opened or created.
    TFileStream(const std::string& fileName, FileMode mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    void SetSize(std::int64_t size) override;

    const std::string& FileName() const { return fileName_; }

private:
    std::string fileName_;
    int fd_ = -1;
};

// Whole-file helpers; both raise EFOpenError / EReadError. Whole files are read as documents
// (DocumentFile.h): a regular file of at most kDocumentLimit bytes, else the refusal.
std::string ReadFileBytes(const std::string& fileName);
bool FileExists(const std::string& fileName);
// The absolute path of a file, its "." and ".." steps and symbolic links resolved as far as the
// path exists: one name for every spelling of a file.
std::string CanonicalPath(const std::string& fileName);

}  // namespace velmoran
