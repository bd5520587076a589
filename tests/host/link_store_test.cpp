// The three trees at start-up and on OK.
#include <gtest/gtest.h>

#include "app_fixture.h"
#include "formats/builtin_components.h"
#include "formats/tree_file.h"

namespace {

class LinkStore : public ::testing::Test, public AppFixture {
 protected:
  std::string Data(const std::string& name) const { return Path("Data\\" + name); }
  static formats::TreeNodeData Node(const std::string& text, const std::string& d1, const std::string& d2,
                                    int image) {
    formats::TreeNodeData n;
    n.text = text;
    n.data1 = d1;
    n.data2 = d2;
    n.imageIndex = n.selectedIndex = image;
    n.stateIndex = 1;
    n.checkboxType = 1;
    n.checked = true;
    return n;
  }
};

TEST_F(LinkStore, WithoutTreeFilesOkWritesEmptyTreesAndTheBuiltInComponents) {
  Ini("[View]\r\nWhatsNew=No\r\n");
  TMainForm& f = StartAndSettle();
  ASSERT_EQ(f.ComponentTree.Items().Count(), 2);
  EXPECT_EQ(f.ComponentTree.Items().Item(1).Text, "Компьютер");
  f.OKBtn.Click();
  EXPECT_EQ(os.FileBytes(Data("links.dat")), std::string(4, '\0'));
  EXPECT_EQ(os.FileBytes(Data("folders.dat")), std::string(4, '\0'));
  auto comp = os.FileBytes(Data("comp.dat"));
  ASSERT_TRUE(comp.has_value());
  EXPECT_EQ(comp->size(), 791u);
  EXPECT_EQ(*comp, formats::EncodeTree(formats::BuiltinComponentTree()));
}

TEST_F(LinkStore, TreeFilesSurviveStartAndOkByteForByte) {
  formats::TreeNodeData group = Node("\xC8\xE3\xF0\xFB", "Group", "", 1);  // "Игры"
  group.children.push_back(Node("Tetris", "ProgLink", "C:\\Games\\tetris.exe", 30));
  std::vector<formats::TreeNodeData> links = {group, Node("\xD0\xE0\xE7\xE4\xE5\xEB\xE8\xF2\xE5\xEB\xFC", "TheSeparator", "TheSeparator", -1)};
  std::vector<formats::TreeNodeData> comps = {Node("Windows", "win", "", 8)};
  const std::string linksBytes = formats::EncodeTree(links);
  const std::string compBytes = formats::EncodeTree(comps);
  os.PutFile(Data("links.dat"), linksBytes);
  os.PutFile(Data("comp.dat"), compBytes);
  Ini("[View]\r\nWhatsNew=No\r\n");
  TMainForm& f = StartAndSettle();
  ASSERT_EQ(f.LinksTree.Items().Count(), 2);
  EXPECT_EQ(f.LinksTree.Items().Item(0).Text, "Игры");
  EXPECT_EQ(f.LinksTree.Items().Item(0).Item(0).Data2, "C:\\Games\\tetris.exe");
  ASSERT_EQ(f.ComponentTree.Items().Count(), 1) << "the built-in nodes give way to the file";
  f.OKBtn.Click();
  EXPECT_EQ(os.FileBytes(Data("links.dat")), linksBytes);
  EXPECT_EQ(os.FileBytes(Data("comp.dat")), compBytes);
}

TEST_F(LinkStore, DamagedLinksFileKeepsWhatWasReadAndSaysNothing) {
  std::vector<formats::TreeNodeData> links = {Node("One", "ProgLink", "C:\\a.exe", 5),
                                              Node("Two", "ProgLink", "C:\\b.exe", 5)};
  std::string bytes = formats::EncodeTree(links);
  bytes.resize(bytes.size() - 3);  // the second node's target is cut short
  os.PutFile(Data("links.dat"), bytes);
  Ini("[View]\r\nWhatsNew=No\r\n");
  TMainForm& f = StartAndSettle();
  ASSERT_GE(f.LinksTree.Items().Count(), 1);
  EXPECT_EQ(f.LinksTree.Items().Item(0).Text, "One");
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(LinkStore, FailedSaveIsReportedKeepsTheWindowOpenAndTheOldFileWhole) {
  os.PutFile(Data("links.dat"), std::string(4, '\0'), /*readOnly=*/true);
  Ini("[View]\r\nWhatsNew=No\r\n");
  TMainForm& f = StartAndSettle();
  f.ShowOptionsWindow();
  f.LinksTree.Items().AddChild().Text = "New";
  f.HotkeyBox.SelectFromUser(0);
  // The error leaves OK for the application's default error report.
  EXPECT_THROW(f.OKBtn.Click(), std::exception);
  EXPECT_TRUE(f.Form.Visible());
  EXPECT_GT(f.ProgMenu.Items.Count(), 0) << "the menu is rebuilt all the same";
  EXPECT_EQ(os.FileBytes(Data("links.dat")), std::string(4, '\0'));
  EXPECT_FALSE(os.FileBytes(Data("comp.dat")).has_value()) << "saving stops at the failed file";
  EXPECT_EQ(Ini(), "[View]\r\nWhatsNew=No\r\n");
}

}  // namespace
