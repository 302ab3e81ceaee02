#include <gtest/gtest.h>

#include <QMenu>
#include <QPushButton>

#include "EditorKit.h"
#include "descriptors/DefaultTitlesForm.h"

namespace {

class DefaultTitlesFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitTitleLists(nullptr, dbs.db.lists);
    form.LoadDefaultTitles(dbs.reg.get(), dbs.db.lists);
  }
  bool edit(std::function<void()> drive) {
    whenShown(form, std::move(drive));
    return form.EditDefaultTitles(dbs.db.names, dbs.db.lists);
  }
  QStringList defaults() { return *LocateTitleLists(dbs.db.lists).defaults; }
  TTitleGrid* grid() { return form.findChild<TTitleGrid*>(QStringLiteral("DefaultDBGrid")); }
  QStringList menuCaptions(QMenu* menu) {
    QStringList captions;
    for (QAction* a : menu->actions()) captions << (a->isSeparator() ? "-" : a->text());
    return captions;
  }

  TestDatabases dbs;
  TDefaultTitlesForm form;
};

TEST_F(DefaultTitlesFormTest, FieldMenuOffersEveryListButTheTitleLists) {
  edit([&] {
    QMenu* menu = form.FieldPopUp();
    EXPECT_EQ(menuCaptions(menu),
              (QStringList{"&Static Text", "-", "Camera", "-", "Camera", "Timing"}));
    QMenu* rigCamera = menu->actions()[2]->menu();
    ASSERT_NE(rigCamera, nullptr);
    EXPECT_EQ(menuCaptions(rigCamera), (QStringList{"Camera ID", "Lens"}));
    // Field items are for the value column only.
    grid()->setCurrentCell(0, 0);
    form.PopUpAt(QPoint(5, 5));
    EXPECT_FALSE(menu->actions()[2]->isEnabled());
    EXPECT_TRUE(menu->actions()[0]->isEnabled());
    menu->hide();
    grid()->setCurrentCell(0, 1);
    form.PopUpAt(QPoint(5, 5));
    EXPECT_TRUE(menu->actions()[2]->isEnabled());
    menu->hide();
  });
}

TEST_F(DefaultTitlesFormTest, ChoosingAFieldMakesTheValueAReferenceUntilStaticText) {
  const bool changed = edit([&] {
    grid()->setCurrentCell(1, 1);
    form.FieldPopUp()->actions()[2]->menu()->actions()[0]->trigger();  // rig7.ini Camera ID
    EXPECT_EQ(grid()->item(1, 1)->text(), "(rig7.ini)[Camera]Camera ID");
    EXPECT_FALSE(grid()->item(1, 1)->flags() & Qt::ItemIsEditable);
    grid()->setCurrentCell(0, 1);
    form.FieldItemClick(1, 0, 2);  // the system's own "Camera" list, "Session ID"
    form.StaticTextClick();
    grid()->setCurrentCell(0, 1);
    EXPECT_EQ(grid()->item(0, 1)->text(), "?");
    EXPECT_TRUE(grid()->item(0, 1)->flags() & Qt::ItemIsEditable);
    form.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
  });
  EXPECT_TRUE(changed);
  EXPECT_EQ(defaults(), (QStringList{"Title=?", "Imager Name=(rig7.ini)[Camera]Camera ID"}));
}

TEST_F(DefaultTitlesFormTest, DuplicateNameIsRefusedOnLeavingTheCell) {
  const bool changed = edit([&] {
    grid()->setCurrentCell(1, 0);
    typeInCell(grid(), 1, 0, QStringLiteral("TITLE"));
    form.InsertBtnClick();
    EXPECT_EQ(grid()->rowCount(), 2);
    typeInCell(grid(), 1, 0, QStringLiteral("Imager"));
    form.InsertBtnClick();  // a blank line before row 2
    EXPECT_EQ(grid()->rowCount(), 3);
    EXPECT_EQ(grid()->currentRow(), 1);
    typeInCell(grid(), 1, 0, QStringLiteral("Operator"));
    form.OKBtnClick();
  });
  EXPECT_TRUE(changed);
  EXPECT_EQ(shownTexts(), QStringList{"The name \"TITLE\" is already used on row 1"});
  EXPECT_EQ(defaults(), (QStringList{"Title=?", "Operator=?", "Imager=?"}));
}

TEST_F(DefaultTitlesFormTest, StoredReferencesStayLockedCancelKeepsThemAndTheStoreBringsThemBack) {
  const QStringList stored{"Camera=(rig7.ini)[Camera]Lens", "Site=x"};
  PutOwnList(dbs.db.lists, kDefaultTitlesList, stored);
  const bool changed = edit([&] {
    EXPECT_FALSE(grid()->item(0, 1)->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(grid()->item(1, 1)->flags() & Qt::ItemIsEditable);
    form.RemoveBtnClick();
    form.findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
  });
  EXPECT_FALSE(changed);
  EXPECT_EQ(defaults(), stored);
  form.SaveDefaultTitles(dbs.reg.get(), dbs.db.lists);
  TStringListList fresh;
  TDefaultTitlesForm().LoadDefaultTitles(dbs.reg.get(), fresh);
  QStringList loaded = *LocateTitleLists(fresh).defaults;
  loaded.sort();  // the store keeps values by name, in its own order
  EXPECT_EQ(loaded, stored);
}

}  // namespace
