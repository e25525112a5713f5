// The viewer over the HTML library's document root: a page parsed by the real parser gives its
// title, base, META reports, anchors and link runs to the viewer.
#include "html/viewer/PageViewer.h"
#include "html/viewer/SectionListDocument.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmoran {
namespace {

// The application lives until the process ends: Qt's input devices must not outlive it at exit.
QApplication& App()
{
    static int argc = 1;
    static char name[] = "test_viewer";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

TEST(SectionListViewer, ParsedPageReachesTheViewer)
{
    App();
    TPageViewer viewer;
    std::vector<std::string> metas;
    viewer.OnMeta = [&](TPageViewer*, const std::string& httpEq, const std::string& name, const std::string&) {
        metas.push_back(httpEq + "|" + name);
    };
    int delay = 0;
    std::string url;
    viewer.OnMetaRefresh = [&](TPageViewer*, int d, const std::string& u) {
        delay = d;
        url = u;
    };
    viewer.LoadDocumentString("<html><head><title>Ergebnis</title><base href=\"file:///srv/seiten/\">"
                              "<meta http-equiv=\"refresh\" content=\"5; URL=weiter.htm\">"
                              "<meta name=\"author\" content=\"x\"></head>"
                              "<body><a name=\"oben\">Start</a> <a href=\"b.htm\">Weiter</a> "
                              "<a href=\"#oben\">Hoch</a></body></html>");
    EXPECT_EQ(viewer.DocumentTitle(), u"Ergebnis");
    EXPECT_EQ(viewer.Base(), "file:///srv/seiten/");
    EXPECT_EQ(metas, (std::vector<std::string>{"refresh|", "|author"}));
    EXPECT_EQ(delay, 5);
    EXPECT_EQ(url, "weiter.htm");
    EXPECT_GT(viewer.Document().SectionCount(), 0);
    ASSERT_EQ(viewer.Document().LinkCount(), 2);
    EXPECT_EQ(viewer.Document().LinkUrl(0), "b.htm");
    EXPECT_EQ(viewer.ExpandFileName("b.htm"), "/srv/seiten/b.htm");
    int y = -1;
    EXPECT_TRUE(viewer.Document().FindAnchor("OBEN", y));
    EXPECT_TRUE(viewer.PositionToAnchor("#oben"));
    EXPECT_FALSE(viewer.PositionToAnchor("#unten"));
    EXPECT_EQ(viewer.Visited().front(), "#oben");
}

TEST(SectionListViewer, ClearEmptiesTheDocument)
{
    App();
    TPageViewer viewer;
    viewer.LoadDocumentString("<p>Text</p>");
    EXPECT_GT(viewer.Document().SectionCount(), 0);
    viewer.Clear();
    EXPECT_EQ(viewer.Document().SectionCount(), 0);
    EXPECT_EQ(viewer.Document().SelB(), -1);
}

}  // namespace
}  // namespace velmoran
