// The system clipboard through QClipboard, and the switch to another clipboard service.
#include "platform/Clipboard.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QString>

#include <cstdlib>
#include <memory>

namespace velmoran {
namespace {

constexpr const char* kHtmlFormatMime = "application/x-qt-windows-mime;value=\"HTML Format\"";

class QtClipboard : public ClipboardService {
public:
    void SetText(const std::u16string& text) override
    {
        if (QClipboard* board = Board())
            board->setText(QString::fromStdU16String(text));
    }
    void SetTextAndHtml(const std::u16string& text, const std::string& htmlFormat) override
    {
        QClipboard* board = Board();
        if (!board)
            return;
        auto data = std::make_unique<QMimeData>();
        data->setText(QString::fromStdU16String(text));
        data->setHtml(QString::fromUtf8(HtmlOfHtmlFormat(htmlFormat)));
        data->setData(kHtmlFormatMime, QByteArray(htmlFormat.data(), static_cast<qsizetype>(htmlFormat.size())));
        board->setMimeData(data.release());
    }
    std::u16string Text() const override
    {
        const QClipboard* board = Board();
        return board ? board->text().toStdU16String() : std::u16string();
    }
    std::string HtmlFormat() const override
    {
        const QClipboard* board = Board();
        const QMimeData* data = board ? board->mimeData() : nullptr;
        if (!data || !data->hasFormat(kHtmlFormatMime))
            return {};
        return data->data(kHtmlFormatMime).toStdString();
    }

private:
    static QClipboard* Board() { return QGuiApplication::instance() ? QGuiApplication::clipboard() : nullptr; }
};

ClipboardService*& Current()
{
    static QtClipboard system;
    static ClipboardService* current = &system;
    return current;
}

// The number after a header key ("StartHTML:"), -1 when absent.
long HeaderNumber(const std::string& data, const std::string& key)
{
    const auto at = data.find(key);
    if (at == std::string::npos)
        return -1;
    char* end = nullptr;
    const long value = std::strtol(data.c_str() + at + key.size(), &end, 10);
    return end == data.c_str() + at + key.size() ? -1 : value;
}

}  // namespace

ClipboardService& Clipboard()
{
    return *Current();
}

ScopedClipboard::ScopedClipboard(ClipboardService& service) : previous_(Current())
{
    Current() = &service;
}

ScopedClipboard::~ScopedClipboard()
{
    Current() = previous_;
}

std::string HtmlOfHtmlFormat(const std::string& htmlFormat)
{
    const long start = HeaderNumber(htmlFormat, "StartHTML:");
    long end = HeaderNumber(htmlFormat, "EndHTML:");
    const long size = static_cast<long>(htmlFormat.size());
    if (start < 0 || start > size)
        return {};
    if (end < start || end > size)
        end = size;
    return htmlFormat.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
}

}  // namespace velmoran
