// Collectors of the selected text of a document: one that only counts, one that fills a caller's
// buffer, and one that puts the text on the clipboard. The document walks its runs and feeds them.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace velmoran {

class SelTextCount {
public:
    virtual ~SelTextCount() = default;
    // Counts the characters of a run, leaving out the object placeholders U+0002 and U+0004.
    virtual void AddText(const char16_t* chars, int count);
    // The run, then CR LF.
    void AddTextLine(const char16_t* chars, int count);
    void AddText(const std::u16string& s) { AddText(s.data(), static_cast<int>(s.size())); }
    // The final count.
    virtual int Terminate();

    char16_t* Buffer = nullptr;
    int BufferSize = 0;  // in wide characters
    int Leng = 0;
};

// Fills a caller's buffer: the runs without U+0002, U+0004 and U+0008, as long as fewer than
// BufferSize - 1 characters are stored (the rest is dropped).
class SelTextBuf : public SelTextCount {
public:
    SelTextBuf(char16_t* buffer, int size);
    void AddText(const char16_t* chars, int count) override;
    using SelTextCount::AddText;
    // Writes the terminating zero (nothing when the buffer has no room) and returns the count plus one.
    int Terminate() override;
};

// Collects into its own buffer and puts the text on the clipboard when terminated.
class ClipBuffer : public SelTextBuf {
public:
    explicit ClipBuffer(int size);
    int Terminate() override;

    // Where terminated text goes; by default the application's clipboard (plain text).
    using Sink = std::function<void(const std::u16string&)>;
    static void SetClipboardSink(Sink sink);

private:
    std::vector<char16_t> own_;
};

}  // namespace velmoran
