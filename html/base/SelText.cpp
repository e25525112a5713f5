// Selection text collectors; see SelText.h.
#include "html/base/SelText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QString>

namespace velmoran {

namespace {

ClipBuffer::Sink& CurrentSink()
{
    static ClipBuffer::Sink sink = [](const std::u16string& text) {
        if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            app->clipboard()->setText(QString::fromStdU16String(text));
    };
    return sink;
}

}  // namespace

void SelTextCount::AddText(const char16_t* chars, int count)
{
    for (int i = 0; i < count; ++i)
        if (chars[i] != 2 && chars[i] != 4)
            ++Leng;
}

void SelTextCount::AddTextLine(const char16_t* chars, int count)
{
    AddText(chars, count);
    static const char16_t crlf[2] = {u'\r', u'\n'};
    AddText(crlf, 2);
}

int SelTextCount::Terminate()
{
    return Leng;
}

SelTextBuf::SelTextBuf(char16_t* buffer, int size)
{
    Buffer = buffer;
    BufferSize = size;
}

void SelTextBuf::AddText(const char16_t* chars, int count)
{
    for (int i = 0; i < count; ++i) {
        const char16_t c = chars[i];
        if (c == 2 || c == 4 || c == 8)
            continue;
        if (Leng >= BufferSize - 1)
            break;
        Buffer[Leng++] = c;
    }
}

int SelTextBuf::Terminate()
{
    // A buffer without room for the terminator gets nothing written.
    if (Buffer && BufferSize > 0)
        Buffer[Leng] = 0;
    return Leng + 1;
}

ClipBuffer::ClipBuffer(int size) : SelTextBuf(nullptr, size), own_(size > 0 ? static_cast<std::size_t>(size) : 0)
{
    Buffer = own_.empty() ? nullptr : own_.data();
}

int ClipBuffer::Terminate()
{
    const int result = SelTextBuf::Terminate();
    if (CurrentSink())
        CurrentSink()(std::u16string(Buffer ? Buffer : u"", static_cast<std::size_t>(Leng)));
    return result;
}

void ClipBuffer::SetClipboardSink(Sink sink)
{
    CurrentSink() = std::move(sink);
}

}  // namespace velmoran
