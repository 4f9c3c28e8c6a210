// The MSXML 3.0 backend of the configuration file's XML interface.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/msxml_document.h"
#include "platform/wide.h"
#include "win_test_files.h"

namespace platform {
namespace {

using scribo::XmlNode;

TEST(MsxmlDocument, NavigatesElementsOnlyAndEditsInPlace) {
    TempFolder dir;
    const std::u16string in = dir.file(u"in.xml");
    writeText(in,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root>\n  <!-- note -->\n"
              "  <PID_0374 a=\"1\">text<Info/>\n    <?pi x?><Settings>old<Child/></Settings>\n"
              "  </PID_0374>\n</Root>\n");
    MsxmlFactory factory;
    auto doc = factory.createDocument();
    ASSERT_TRUE(doc);
    ASSERT_TRUE(doc->load(in));

    auto root = doc->documentElement();
    ASSERT_TRUE(root);
    auto device = root->firstChild();  // the comment is no position
    ASSERT_TRUE(device);
    EXPECT_EQ(device->name(), u"PID_0374");
    EXPECT_FALSE(device->nextSibling());
    auto info = device->firstChild();  // neither is the text
    ASSERT_TRUE(info);
    EXPECT_EQ(info->name(), u"Info");
    auto settings = info->nextSibling();  // nor the processing instruction
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->name(), u"Settings");

    EXPECT_EQ(device->attribute(u"a"), std::optional<std::u16string>(u"1"));
    EXPECT_EQ(device->attribute(u"b"), std::nullopt);
    EXPECT_TRUE(device->setAttribute(u"a", u"\u00e9<&>\""));
    EXPECT_TRUE(settings->setText(u"new \u4e2d & <x>"));  // replaces the child element too
    EXPECT_FALSE(settings->firstChild());
    auto custom = doc->createElement(u"pen-FirstBtnZdy");
    ASSERT_TRUE(custom);
    EXPECT_TRUE(custom->setText(u"1|[Ctrl + Z]|90|44|2"));
    EXPECT_TRUE(info->append(*custom));
    auto appended = info->firstChild();
    ASSERT_TRUE(appended);
    EXPECT_EQ(appended->name(), u"pen-FirstBtnZdy");

    const std::u16string out = dir.file(u"out.xml");
    ASSERT_TRUE(doc->save(out));
    auto again = factory.createDocument();
    ASSERT_TRUE(again->load(out));
    auto d = again->documentElement()->firstChild();
    EXPECT_EQ(d->attribute(u"a"), std::optional<std::u16string>(u"\u00e9<&>\""));
    auto i = d->firstChild();
    EXPECT_EQ(i->firstChild()->text(), u"1|[Ctrl + Z]|90|44|2");
    EXPECT_EQ(i->nextSibling()->text(), u"new \u4e2d & <x>");
    EXPECT_TRUE(i->remove(*i->firstChild()));
    EXPECT_FALSE(i->firstChild());
}

TEST(MsxmlDocument, ReportsMissingBrokenAndUnwritableFiles) {
    TempFolder dir;
    MsxmlFactory factory;
    auto doc = factory.createDocument();
    ASSERT_TRUE(doc);
    EXPECT_FALSE(doc->load(dir.file(u"missing.xml")));
    EXPECT_FALSE(doc->documentElement());
    const std::u16string broken = dir.file(u"broken.xml");
    writeText(broken, "<Root><PID_0374></Root>");
    EXPECT_FALSE(doc->load(broken));
    writeText(broken, "<Root/>");
    ASSERT_TRUE(doc->load(broken));
    EXPECT_FALSE(doc->save(dir.file(u"no such folder\\scribo.xml")));
}

}  // namespace
}  // namespace platform
