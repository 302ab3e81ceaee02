#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>

#include "SheetFixture.h"
#include "TestSupport.h"
#include "measure/MeasureExport.h"
#include "measure/MeasureTable.h"

namespace {

constexpr auto kX = std::uint16_t(1u << 2), kY = std::uint16_t(1u << 3);

QStringList captions(const QMenu* menu) {
  QStringList out;
  for (const QAction* item : menu->actions()) out << item->text();
  return out;
}

// A shown table over a model; times are frame × 2 ms with one decimal.
struct TableFixture : SheetFixture {
  TableFixture() : SheetFixture(kX | kY), table(grid, menu, db->Objects()) {
    db->SetTiming(1, 2.0f, 0.0f);
    WriteTimeColumn(grid, db->Frames(), 0, kFrames);
    grid.resize(400, 300);
    grid.show();
    table.moveToFrame = [this](int frame) { moves.push_back(frame); };
    table.currentFrame = [] { return 7; };
    table.currentChanged = [this](TObjDef* o, int point) { picked = {o, point}; };
  }
  static void Click(QWidget* w, QPoint pos, Qt::KeyboardModifiers mods = {}) {
    for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      const auto buttons = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
      QMouseEvent event(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), Qt::LeftButton, buttons,
                        mods);
      QApplication::sendEvent(w, &event);
    }
  }
  void ClickCell(int col, int frame) {
    const QModelIndex cell = grid.model()->index(grid.FixedRows() + frame, col);
    grid.scrollTo(cell);
    Click(grid.viewport(), grid.visualRect(cell).center());
  }
  // The header shows rows 0..2 as three lines; `line` picks one of them.
  void ClickHeader(int col, int line, Qt::KeyboardModifiers mods = {}) {
    QHeaderView* h = grid.horizontalHeader();
    Click(h->viewport(), {h->sectionViewportPosition(col) + 5, h->height() * (2 * line + 1) / 6},
          mods);
  }
  QAction* Item(QMenu* in, const QString& text) {
    return in->actions().at(captions(in).indexOf(text));
  }
  QMenu* ShowMenu() {
    auto* show = table.PopupMenu()->findChild<QMenu*>(QStringLiteral("ShowMenu"));
    emit show->aboutToShow();
    return show;
  }
  QRect Data(int left, int right) const {
    return {QPoint(left, 3), QPoint(right, grid.RowCount() - 1)};
  }

  TMeasureTable table;
  std::vector<int> moves;
  std::pair<TObjDef*, int> picked{nullptr, -1};
};

}  // namespace

TEST(MeasureTable, CopiesShapeRowsAndSeparators) {
  TableFixture f;
  TObjDef& p = f.Add(TSampleClass::Point, QStringLiteral("P"));
  f.db->SetPoint(2, p, 0, {10, 20});
  const QString x = f.grid.Cell(1, 5), y = f.grid.Cell(2, 5);
  f.grid.SetRowCount(3 + 4);  // frames 0..3
  const QString unit = f.grid.Cell(1, 2);
  const struct {
    QRect selection;  // null: none made
    void (TMeasureTable::*copy)();
    QString text;
  } cases[] = {
      // The popup's Copy All keeps empty rows and ends lines with CR only.
      {{},
       &TMeasureTable::CopyAll,
       QString("Time\tP\tP\rms\tX\tY\r\t%1\t%1\r0.0\t\t\r2.0\t\t\r4.0\t%2\t%3\r6.0\t\t\r")
           .arg(unit, x, y)},
      // The window's copies: rows with values, CR LF, and the time even for one column.
      {{},
       &TMeasureTable::CopyAllData,
       QString("Time\tP\tP\r\nms\tX\tY\r\n\t%1\t%1\r\n4.0\t%2\t%3\r\n").arg(unit, x, y)},
      {f.Data(2, 2), &TMeasureTable::CopySelectionData,
       QString("Time\tP\r\nms\tY\r\n\t%1\r\n4.0\t%2\r\n").arg(unit, y)},
      // The popup's Copy Selection: only the selected cells, rows from the top.
      {{QPoint(2, 4), QPoint(2, 5)},
       &TMeasureTable::CopySelection,
       QString("P\rY\r%1\r\r%2\r").arg(unit, y)},
  };
  for (const auto& c : cases) {
    if (!c.selection.isNull()) f.table.Select(c.selection);
    (f.table.*c.copy)();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), c.text) << "case " << &c - cases;
  }
}

// Cells move the frame and pick the object; the header's name and caption lines select columns.
TEST(MeasureTable, ClicksMoveTheFramePickTheObjectAndSelectColumns) {
  TableFixture f;
  TObjDef& line = f.Add(TSampleClass::Line, QStringLiteral("L"));  // 4 columns beside the time
  const TSheetElement* y2 = f.Element(line, QStringLiteral("Y2"));
  ASSERT_TRUE(y2 && y2->Visible());
  f.ClickCell(0, 40);
  EXPECT_FALSE(f.grid.selectionModel()->hasSelection()) << "a fixed cell is never selected";
  f.ClickCell(y2->Column(), 7);  // the current frame: no move
  EXPECT_EQ(f.picked, std::make_pair(&line, 1));
  f.ClickCell(1, 12);
  EXPECT_EQ(f.moves, (std::vector<int>{40, 12}));
  EXPECT_EQ(f.picked, std::make_pair(&line, 0));

  const struct {
    int col, line;
    Qt::KeyboardModifiers mods;
    QRect selection;
  } steps[] = {{3, 0, {}, f.Data(3, 3)},
               {1, 1, Qt::ShiftModifier, f.Data(1, 3)},
               {4, 2, Qt::ShiftModifier, f.Data(1, 3)},  // the unit line selects nothing
               {0, 0, {}, f.Data(1, 3)},                 // nor does the time column
               {4, 1, {}, f.Data(4, 4)}};
  for (const auto& s : steps) {
    f.ClickHeader(s.col, s.line, s.mods);
    EXPECT_EQ(f.table.Selection(), s.selection) << s.col << " line " << s.line;
  }
}

// Hiding keeps the time column; Show escapes "&" in names and breaks into columns of 19.
TEST(MeasureTable, MenuHidesShowsAndBreaksLongShowLists) {
  TableFixture f;
  TObjDef& a = f.Add(TSampleClass::Point, QStringLiteral("A&B"));
  f.Add(TSampleClass::Point, QStringLiteral("C"));
  QMenu* popup = f.table.PopupMenu();
  EXPECT_EQ(captions(popup), QStringList({"&Copy Selection", "Copy &All", "&Delete Selected Data",
                                          "&Hide Columns", "&Show", "Se&lect All"}));
  EXPECT_FALSE(f.Item(popup, "&Delete Selected Data")->isEnabled());

  f.table.Select(f.Data(0, 3));
  f.Item(popup, "&Hide Columns")->trigger();
  EXPECT_EQ(f.grid.ColCount(), 2);
  EXPECT_EQ(f.grid.Cell(1, 1), "Y");
  QMenu* show = f.ShowMenu();
  EXPECT_EQ(captions(show), QStringList({"A&&B - X", "A&&B - Y", "C - X", "&All"}));
  show->actions()[1]->trigger();
  EXPECT_TRUE(f.Element(a, "Y")->Visible());
  f.Item(f.ShowMenu(), "&All")->trigger();
  EXPECT_EQ(f.grid.ColCount(), 5);

  for (int i = 0; i < 21; ++i) f.db->CreateObject(TSampleClass::Point, QString("Q%1").arg(i), 0);
  std::vector<int> columns;  // items per menu column, "More" and "&All" not counted
  for (QMenu* m = f.ShowMenu(); m; m = m->findChild<QMenu*>("ShowMore", Qt::FindDirectChildrenOnly))
    columns.push_back(int(m->actions().size()) - (m == show ? 1 : 0) -
                      (m->findChild<QMenu*>("ShowMore", Qt::FindDirectChildrenOnly) ? 1 : 0));
  EXPECT_EQ(columns, (std::vector<int>{19, 19, 4}));
}

TEST(MeasureTable, TealMarksTheCurrentObjectsCellsOutsideTheSelection) {
  TableFixture f;
  TObjDef& a = f.Add(TSampleClass::Point, QStringLiteral("A"));
  f.Add(TSampleClass::Point, QStringLiteral("B"));
  f.table.SetCurrent(4, &a, 0);
  f.table.Select(f.Data(2, 2));
  const QImage image = f.grid.viewport()->grab().toImage();
  QStringList teal;  // columns 0..3: time, A's X and Y (selected), B's X
  for (int col = 0; col < 4; ++col) {
    const QPoint at = f.grid.visualRect(f.grid.model()->index(3 + 4, col)).center();
    const QRgb rgb = image.pixelColor(at * image.devicePixelRatio()).rgb();
    teal << ((rgb & 0xFFFFFF) == 0x008080u ? "teal" : "-");
  }
  EXPECT_EQ(teal, QStringList({"-", "teal", "-", "-"}));
}

TEST(MeasureTable, KeepInViewAndColumnDragsRenumberElements) {
  TableFixture f;
  for (int i = 0; i < 8; ++i) f.Add(TSampleClass::Point, QString("P%1").arg(i));
  f.grid.horizontalScrollBar()->setValue(f.grid.horizontalScrollBar()->maximum());
  TObjDef& first = *f.db->Objects().Object(1);  // after "Ref"
  f.table.SetCurrent(150, &first, 0);
  f.table.KeepInView();
  EXPECT_EQ(f.grid.rowAt(0), 3 + 150);
  EXPECT_EQ(f.grid.columnAt(1), 1) << "the point's first column at the left";

  TSheetElement* moved = f.Element(first, "X");
  f.grid.horizontalHeader()->moveSection(1, 4);
  f.grid.horizontalHeader()->moveSection(2, 0);  // into the time column's place: refused
  QCoreApplication::processEvents();
  EXPECT_EQ(moved->Column(), 4);
  EXPECT_EQ(f.grid.Object(4, 0), moved);
  EXPECT_EQ(f.grid.Cell(0, 0), "Time");
  EXPECT_EQ(f.grid.horizontalHeader()->visualIndex(4), 4) << "the view keeps logical order";
}

// Empty frames are left out, a value in the last column alone still makes a row, and names
// holding commas or quotes are quoted; a file is written whole or refused with a reason.
TEST(MeasureTable, ExportQuotesNamesAndWritesWholeFilesOrFailsWithAReason) {
  TableFixture f;
  TObjDef& p = f.Add(TSampleClass::Point, QStringLiteral("Knee, \"left\" Ω"));
  f.Add(TSampleClass::Point, QStringLiteral("Hip"));
  f.db->SetPoint(2, p, 0, {10, 20});
  f.db->SetPoint(5, p, 0, {11, 21});
  f.grid.SetCell(f.grid.ColCount() - 1, 3 + 9, QStringLiteral("7"));
  const QString knee = QStringLiteral("\"Knee, \"\"left\"\" ?\"");
  const QByteArray text = ExportText(f.grid);
  EXPECT_EQ(QString::fromLatin1(text),
            QString("Time,%1,%1,Hip,Hip\r\nms,X,Y,X,Y\r\n,%2,%2,%2,%2\r\n4.0,%3,%4,,\r\n"
                    "10.0,%5,%6,,\r\n18.0,,,,7\r\n")
                .arg(knee, f.grid.Cell(1, 2), f.grid.Cell(1, 5), f.grid.Cell(2, 5),
                     f.grid.Cell(1, 8), f.grid.Cell(2, 8)));

  QTemporaryDir dir;
  const QString fifo = dir.filePath("fifo");
  ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
  testsupport::writeFile(dir.filePath("old.csv"), QByteArray(100000, 'x'));
  const struct {
    QString path;
    const char* reason;
  } cases[] = {{dir.filePath("old.csv"), nullptr},
               {dir.filePath("missing/out.csv"), "folder does not exist"},
               {fifo, "not a regular file"},
               {dir.path(), "not a regular file"},
               {"/sys/lumetra-export.csv", ""},  // read-only even for root
               {"/proc/version", ""},            // opens, but every write fails
               {"", "no file name"}};
  for (const auto& c : cases) {
    QString error;
    EXPECT_EQ(f.table.ExportTo(c.path, &error), !c.reason) << c.path.toStdString();
    EXPECT_TRUE(c.reason ? error.contains(c.reason) : error.isEmpty()) << error.toStdString();
  }
  QFile written(dir.filePath("old.csv"));
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_EQ(written.readAll(), text);
}
