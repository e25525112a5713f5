// The framework's masked edit over QLineEdit: an edit mask in the desktop framework's syntax
// ("!99/99/9999;1;_") becomes a Qt input mask, Text is what the user sees (blanks and separators
// included), and a change notification the subclasses can redirect.
//
// Mask translation: "0" a required digit, "9" an optional one, "#" a digit or sign, "L"/"l" a
// letter, "A"/"a" a letter or digit, "C"/"c" any character (capital: required), ">" and "<" case
// conversion ("<>" switches it off), "\" takes the next character literally, "_" is a blank,
// "/" and ":" the date and time separators as literals. The second field (whether literals are
// stored with the text) and "!" (keep leading blanks) have no counterpart: Text always holds the
// literals. The third field is the blank character, "_" when it is missing.
#pragma once

#include <QLineEdit>

#include <functional>
#include <string>
#include <string_view>

namespace velmoran {

// The Qt input mask for an edit mask, with the separators of the current format settings
// unless given; the empty mask gives the empty mask.
QString QtInputMask(std::string_view editMask);
QString QtInputMask(std::string_view editMask, char dateSeparator, char timeSeparator);

class TCustomMaskEdit : public QLineEdit {
public:
    explicit TCustomMaskEdit(QWidget* parent = nullptr);
    ~TCustomMaskEdit() override;

    const std::string& EditMask() const { return editMask_; }
    void SetEditMask(const std::string& mask);
    // The text as shown (UTF-8): with a mask its blanks and literals included.
    std::string Text() const;
    // Sets the text (which notifies the change) and clears Modified.
    void SetText(const std::string& text);
    bool Modified() const { return isModified(); }
    void SetModified(bool modified) { setModified(modified); }
    // Whether the text may be changed now; the edit's read-only state by default.
    virtual bool CanModify() const { return !isReadOnly(); }

    // Told after every change of the text.
    std::function<void(QWidget* sender)> OnChange;

protected:
    // Runs OnChange; subclasses send the notification elsewhere while they need to.
    virtual void Change();
    // Sets the text without telling anyone; the caller notifies when it is ready to.
    void SetTextQuietly(const std::string& text);

private:
    std::string editMask_;
    bool quiet_ = false;
};

}  // namespace velmoran
