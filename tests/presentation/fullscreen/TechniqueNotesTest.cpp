#include "presentation/fullscreen/TechniqueNotes.h"

#include "TestSupport.h"

class TechniqueNotesTest : public QuillaryTest {};

// Headings and bold bullet items start sections, up to the next one or the
// end of the body; titles match without regard to case; no site, no index.
TEST_F(TechniqueNotesTest, IndexAndMatchesTable) {
    WriteFileBytes(path("Site/a.htm"), "<html><body><H2>Grand Chain</H2><p>Pull by.</p>"
                                       "<ul><li><b>Hey for three</b> weave.</li><li>plain item</li></ul></body></html>");
    WriteFileBytes(path("Site/sub/b.HTM"), "<body><li> <strong>Grand chain &amp; hey</strong> mixed</li></body>");
    WriteFileBytes(path("Site/c.txt"), "<h1>Grand Chain</h1>");
    const QList<TechniqueEntry> index = TechniqueIndex(path("Site/"));
    EXPECT_EQ(TechniqueIndexText(index),
              "a.htm: Grand Chain\r\na.htm: Hey for three\r\nsub/b.HTM: Grand chain & hey\r\n");
    const QList<TechniqueEntry> chain = TechniqueFor(index, "grand CHAIN");
    ASSERT_EQ(chain.size(), 2);
    EXPECT_EQ(chain[0].html, "<H2>Grand Chain</H2><p>Pull by.</p><ul>");
    EXPECT_TRUE(TechniquePage("Grand Chain", chain).contains("font-size: 32pt"));
    EXPECT_TRUE(TechniqueFor(index, "Reel").isEmpty());
    EXPECT_TRUE(TechniqueIndex(path("None/")).isEmpty());
}
