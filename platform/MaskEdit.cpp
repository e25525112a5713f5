// The masked edit and its mask translation; see MaskEdit.h.
#include "platform/MaskEdit.h"

#include "platform/core/FormatSettings.h"
#include "platform/core/ScopeExit.h"

#include <vector>

namespace velmoran {

namespace {

// Characters Qt reads as mask characters; a literal among them is escaped.
constexpr std::string_view kQtMaskCharacters = "AaNnXx90Dd#HhBb><!;[]{}\\";

void AppendLiteral(QString& out, QChar c)
{
    if (c.unicode() < 128 && kQtMaskCharacters.find(static_cast<char>(c.unicode())) != std::string_view::npos)
        out += QLatin1Char('\\');
    out += c;
}

// The mask split at its unescaped semicolons.
std::vector<std::string_view> MaskFields(std::string_view mask)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] == '\\') {
            ++i;
        } else if (mask[i] == ';') {
            fields.push_back(mask.substr(start, i - start));
            start = i + 1;
        }
    }
    fields.push_back(mask.substr(start));
    return fields;
}

}  // namespace

QString QtInputMask(std::string_view editMask)
{
    const FormatSettings& settings = FormatSettings::Current();
    return QtInputMask(editMask, settings.DateSeparator, settings.TimeSeparator);
}

QString QtInputMask(std::string_view editMask, char dateSeparator, char timeSeparator)
{
    if (editMask.empty())
        return {};
    const std::vector<std::string_view> fields = MaskFields(editMask);
    const QString mask = QString::fromUtf8(fields[0].data(), static_cast<qsizetype>(fields[0].size()));
    QString out;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        switch (c.unicode()) {
        case '!': break;
        case '\\':
            if (i + 1 < mask.size())
                AppendLiteral(out, mask[++i]);
            break;
        case '<':
            if (i + 1 < mask.size() && mask[i + 1] == QLatin1Char('>')) {
                out += QLatin1Char('!');
                ++i;
            } else {
                out += c;
            }
            break;
        case '>': out += c; break;
        case '0': out += QLatin1Char('9'); break;
        case '9': out += QLatin1Char('0'); break;
        case '#': out += c; break;
        case 'L': out += QLatin1Char('A'); break;
        case 'l': out += QLatin1Char('a'); break;
        case 'A': out += QLatin1Char('N'); break;
        case 'a': out += QLatin1Char('n'); break;
        case 'C': out += QLatin1Char('X'); break;
        case 'c': out += QLatin1Char('x'); break;
        case '_': out += QLatin1Char(' '); break;
        case '/': AppendLiteral(out, QLatin1Char(dateSeparator)); break;
        case ':': AppendLiteral(out, QLatin1Char(timeSeparator)); break;
        default: AppendLiteral(out, c); break;
        }
    }
    const std::string_view blank = fields.size() > 2 && !fields[2].empty() ? fields[2].substr(0, 1) : "_";
    out += QLatin1Char(';');
    out += QString::fromUtf8(blank.data(), static_cast<qsizetype>(blank.size()));
    return out;
}

TCustomMaskEdit::TCustomMaskEdit(QWidget* parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!quiet_)
            Change();
    });
}

TCustomMaskEdit::~TCustomMaskEdit() = default;

void TCustomMaskEdit::SetEditMask(const std::string& mask)
{
    if (mask == editMask_)
        return;
    editMask_ = mask;
    setInputMask(QtInputMask(mask));
}

std::string TCustomMaskEdit::Text() const
{
    return (editMask_.empty() ? text() : displayText()).toStdString();
}

void TCustomMaskEdit::SetText(const std::string& text)
{
    setText(QString::fromStdString(text));
}

void TCustomMaskEdit::SetTextQuietly(const std::string& text)
{
    ScopedValue<bool> quiet(quiet_, true);
    setText(QString::fromStdString(text));
}

void TCustomMaskEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

}  // namespace velmoran
