// The Windows-1252 input filter of text fields; see Cp1252Input.h.
#include "platform/Cp1252Input.h"

#include "platform/core/Cp1252.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

#include <algorithm>

namespace velmoran {

namespace {

// Text that is there and has nothing Windows-1252 holds.
bool HoldsNothingForCp1252(const QString& text)
{
    int cursor = 0;
    return !text.isEmpty() && OnlyCp1252(text, cursor).isEmpty();
}

// Strips what the code page cannot hold from every change. A key (or a paste by key) that brings
// in nothing else is dropped before the edit sees it, so that a selection it would replace stays;
// a change that brings in nothing else by another way (the context menu's paste) is refused, so
// that the edit takes its own step back and keeps its undo steps.
class TCp1252Validator : public QValidator {
public:
    explicit TCp1252Validator(QLineEdit& edit) : QValidator(&edit), shown_(edit.text())
    {
        QObject::connect(&edit, &QLineEdit::textChanged, this, [this](const QString& text) { shown_ = text; });
        edit.installEventFilter(this);
    }

    State validate(QString& input, int& pos) const override
    {
        int cursor = pos;
        const QString kept = OnlyCp1252(input, cursor);
        if (kept.size() == input.size())
            return Acceptable;
        if (kept == shown_)
            return Invalid;
        input = kept;
        pos = cursor;
        return Acceptable;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QValidator::eventFilter(watched, event);
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (key.matches(QKeySequence::Paste))
            return HoldsNothingForCp1252(QGuiApplication::clipboard()->text());
        return HoldsNothingForCp1252(key.text());
    }

private:
    QString shown_;  // the text as the edit last showed it
};

}  // namespace

void KeepToCp1252(QLineEdit& edit)
{
    edit.setValidator(new TCp1252Validator(edit));
}

QString OnlyCp1252(const QString& text, int& cursor)
{
    QString kept;
    kept.reserve(text.size());
    int removedBeforeCursor = 0;
    for (qsizetype i = 0; i < text.size();) {
        char32_t codePoint = text[i].unicode();
        qsizetype length = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(text[i], text[i + 1]);
            length = 2;
        }
        if (InCp1252(codePoint))
            kept.append(QStringView(text).mid(i, length));
        else if (i < cursor)
            removedBeforeCursor += static_cast<int>(std::min<qsizetype>(length, cursor - i));
        i += length;
    }
    cursor -= removedBeforeCursor;
    return kept;
}

}  // namespace velmoran
