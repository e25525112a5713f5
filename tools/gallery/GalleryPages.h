// The gallery's pages: each shows the controls of one kind in their looks and states, for a
// person to look at and for the tests to check pixels of. Every control issue adds its page.
#pragma once

#include <QImage>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

namespace velmoran::gallery {

// The page of that name, or nullptr.
std::unique_ptr<QWidget> MakePage(const std::string& name);
std::vector<std::string> PageNames();

// Shows the page, lets it settle (focus, hover) and grabs it, with the page's open popups drawn in
// where they stand.
QImage TakeShot(QWidget& page);

// A bold heading over a group of controls.
void AddHeading(QWidget* page, int x, int y, const std::string& text);

// The pages.
std::unique_ptr<QWidget> MakeCaptionsPage();
std::unique_ptr<QWidget> MakeButtonsPage();
std::unique_ptr<QWidget> MakeEditsPage();
std::unique_ptr<QWidget> MakeDatesPage();
std::unique_ptr<QWidget> MakeGridPage();
std::unique_ptr<QWidget> MakePicturesPage();

}  // namespace velmoran::gallery
