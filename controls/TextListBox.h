// TTextListBox: a list box whose horizontal scroll range always follows its widest line, so that
// long lines (the start dialog's recent files) can be scrolled to. A QListWidget with a uniform
// row height; its lines are reached through Items, a string-list interface. Every addition,
// insertion, deletion and reset keeps the widest line's width up to date: a wider new line widens
// the range at once; deleting the widest line shrinks it to the next widest and scrolls back to
// the left end; a font or tab width change measures every line again.
#pragma once

#include "controls/ControlFont.h"
#include "controls/HtmlLabel.h"

#include <QListWidget>

#include <string>
#include <vector>

namespace velmoran {

class TTextListBox;

// The lines of a text list box as a string list; assigning another list replaces the lines.
class TListBoxStrings {
public:
    explicit TListBoxStrings(TTextListBox& box) : box_(box) {}
    TListBoxStrings& operator=(const std::vector<std::string>& lines);
    TListBoxStrings& operator=(const TListBoxStrings& other);

    int Count() const;
    std::string operator[](int index) const;
    // Appends a line and returns its index.
    int Add(const std::string& line);
    void Insert(int index, const std::string& line);
    void Delete(int index);
    void Clear();
    std::vector<std::string> Lines() const;

private:
    TTextListBox& box_;
};

class TTextListBox : public QListWidget {
public:
    explicit TTextListBox(QWidget* parent = nullptr);
    ~TTextListBox() override;

    TListBoxStrings& Items() { return items_; }
    // The selected line, -1 when none is selected; -1 clears the selection.
    int ItemIndex() const;
    void SetItemIndex(int index);
    // The height of every row in pixels.
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height);
    // Tab stops every TabWidth quarters of the width of "0"; 0 measures tabs as characters.
    int TabWidth() const { return tabWidth_; }
    void SetTabWidth(int width);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& font);

    // Fired for every click on a line, the line already selected included, and for every key or
    // drag that moves the selection; never when the list gains the focus or the program sets
    // ItemIndex. The handler reads the line in ItemIndex.
    TNotifyEvent OnClick;

    // The widest line's width (the horizontal extent), 0 for an empty list.
    int HorizontalExtent() const { return maxWidth_; }
    // A line's width: its text with an "x" appended, tabs expanded when TabWidth is set.
    int ItemWidth(int index) const;

protected:
    void updateGeometries() override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Runs the list's own handling of a user's input and reports a click when it moved the
    // selection, or always (a click on a line).
    template <typename Handling>
    void ClickOnChange(Handling&& handling, bool always);
    void SetExtent();
    void Recount();
    void ScrollToLeft();

    TListBoxStrings items_;
    TFont font_;
    int itemHeight_ = 13;
    int tabWidth_ = 0;
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
    int maxWidth_ = 0;
    bool widestGoing_ = false;
};

}  // namespace velmoran
