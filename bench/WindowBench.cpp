// The window's speed targets, offscreen (build in Release or RelWithDebInfo):
// - P1: opening the sample image after the file dialog, until its first table is
//   filled: at most 30 ms (shown beside reading the same 4 MB with one read());
// - P2: filling the grid with a data set of 32,767 IDs and 64 sections: at most 20 ms
//   and 50 MB more memory;
// - P5: from making the window, with the sample opened as from the command line,
//   until the window is shown: at most 150 ms;
// - on that 2.1 M-cell table: a commit of the cell editor until the cell is repainted,
//   at most 1 ms and no refill; an undo or redo of a 1,000-cell paste, refill included,
//   at most 30 ms; a copy and a paste of a 255 × 64 block, at most 10 ms;
// - a commit with the change list shown: at most 1.2 times one without (printed, beside
//   the costliest case, a commit that moves every line shown);
// - the same table with every section 16-bit and every other one the ID of a name of the
//   table itself: its fill at most 1.3 times the fill of bytes, a commit of a 16-bit cell
//   at most 1.2 times the commit of a byte.

#include "bench/RatioReporter.h"
#include "core/document/CellBytes.h"
#include "core/edit/EditHistory.h"
#include "core/files/Text.h"
#include "core/sample/Sample.h"
#include "tests/support/HandTables.h"
#include "tests/support/PutByte.h"
#include "window/CellCommands.h"
#include "window/CellEditing.h"
#include "window/CellEditor.h"
#include "window/ChangesPanel.h"
#include "window/ChartDock.h"
#include "window/FindBar.h"
#include "window/FlexGrid.h"
#include "window/Form1.h"
#include "window/Menus.h"
#include "window/StatusText.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

#include <cstdio>
#include <memory>

namespace {

// Counts the messages instead of showing them; a benchmark that meets one has gone wrong.
class SilentDialogs : public zor::Dialogs {
public:
    int messages = 0;
    QMessageBox::StandardButton ask(QWidget*, const QString&, const QString&, QMessageBox::Icon,
                                    QMessageBox::StandardButtons, const QString&) override
    {
        ++messages;
        return QMessageBox::No;
    }
    void showMessage(QWidget*, const QString&, const QString&, QMessageBox::Icon) override { ++messages; }
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&, QString*) override { return {}; }
};

void WriteText(const QString& path, const QString& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(*zor::EncodeCp932(text));
}

// The sample folder, and a mode "大" beside it with one data set of 32,767 IDs and 64 sections,
// in two folders: one of bytes, one typed (every section 16-bit, odd ones IDs of 表's names).
struct Folders {
    QTemporaryDir sample;
    QTemporaryDir big;
    QTemporaryDir typed;
    Folders()
    {
        for (const QTemporaryDir* folder : {&sample, &big, &typed})
            if (const zor::Result<int> written = zor::WriteSampleFolder(folder->path()); !written)
                std::fprintf(stderr, "%s\n", qPrintable(written.failure().message()));
        QString ids;
        for (int id = 0; id < 32766; ++id)
            ids += QStringLiteral("ID名前%1\r\n").arg(id);
        QString sections;
        for (int q = 0; q < 64; ++q)
            sections += QStringLiteral("%1\r\nセクション%2\r\n").arg(QString::number(0x100000 + q, 16)).arg(q + 1);
        QStringList battle;
        for (int j = 0; j < 25; ++j)
            battle << QString::number(j, 16) << QStringLiteral("項目%1").arg(j + 1);
        for (const QTemporaryDir* folder : {&big, &typed}) {
            WriteText(folder->filePath(QStringLiteral("ZOR.ini")), QStringLiteral("[Option]\r\nMode=大\r\nDefaultNotation=16\r\n"));
            WriteText(folder->filePath(QStringLiteral("大/表.idn")), ids); // 32,766 names and the final break: 32,767 IDs
            WriteText(folder->filePath(QStringLiteral("大/表.sna")), sections);
            WriteText(folder->filePath(QStringLiteral("大/敵パラメータ.sna")), battle.join(QStringLiteral("\r\n")));
            WriteText(folder->filePath(QStringLiteral("大/個別データ.sna")), QStringLiteral("10\r\nお金\r\n"));
        }
        QStringList step{QStringLiteral("[Step]")};
        QStringList size{QStringLiteral("[Size]")};
        QStringList names{QStringLiteral("[Names]")};
        for (int q = 1; q <= 64; ++q) {
            step << QStringLiteral("Section%1=2").arg(q);
            size << QStringLiteral("Section%1=2").arg(q);
            if (q % 2 == 1)
                names << QStringLiteral("Section%1=表").arg(q);
        }
        WriteText(typed.filePath(QStringLiteral("大/表.ini")), (step + size + names).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    }
    QString sampleImage() const { return sample.filePath(zor::SampleImageName()); }
    QString bigImage(bool typedCells = false) const { return (typedCells ? typed : big).filePath(zor::SampleImageName()); }
};

const Folders& TheFolders()
{
    static const Folders folders;
    return folders;
}

long ResidentBytes()
{
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

void ReadImageWithOneRead(benchmark::State& state)
{
    for (auto _ : state) {
        QFile file(TheFolders().sampleImage());
        file.open(QIODevice::ReadOnly);
        QByteArray bytes(file.size(), Qt::Uninitialized);
        benchmark::DoNotOptimize(::read(file.handle(), bytes.data(), static_cast<size_t>(bytes.size())));
    }
}
BENCHMARK(ReadImageWithOneRead)->Unit(benchmark::kMillisecond);

// P1
void OpenSampleUntilFilled(benchmark::State& state)
{
    qputenv("ZOR_HOME", TheFolders().sample.path().toUtf8());
    auto dialogs = std::make_unique<SilentDialogs>();
    SilentDialogs* silent = dialogs.get();
    zor::Form1 form(std::move(dialogs));
    bool opened = true;
    for (auto _ : state)
        opened = form.OpenRom(TheFolders().sampleImage()) && opened;
    if (!opened || silent->messages != 0 || !form.grid().isEnabled())
        state.SkipWithError("the sample did not open cleanly");
}
BENCHMARK(OpenSampleUntilFilled)->Unit(benchmark::kMillisecond);

// P2
void FillBig(benchmark::State& state, bool typedCells)
{
    qputenv("ZOR_HOME", (typedCells ? TheFolders().typed : TheFolders().big).path().toUtf8());
    auto dialogs = std::make_unique<SilentDialogs>();
    SilentDialogs* silent = dialogs.get();
    zor::Form1 form(std::move(dialogs));
    const long before = ResidentBytes();
    const bool opened = form.OpenRom(TheFolders().bigImage(typedCells)); // reads the document and fills the grid once
    const long after = ResidentBytes();
    if (!opened || silent->messages != 0 || form.grid().Rows() != 32768 || form.grid().Cols() != 65)
        state.SkipWithError("the big data set is not shown");
    if (typedCells && zor::CellTypeOf(form.control().document(), {zor::TabIdSection, 1, 1, 1}) != zor::CellType{2, 1, std::nullopt})
        state.SkipWithError("the big data set is not typed");
    for (auto _ : state)
        form.FillGrid();
    state.counters["open_and_fill_MB"] = static_cast<double>(after - before) / (1024.0 * 1024.0);
    state.counters["resident_MB"] = static_cast<double>(ResidentBytes()) / (1024.0 * 1024.0);
}
void FillBigDataSet(benchmark::State& state) { FillBig(state, false); }
void FillBigTypedDataSet(benchmark::State& state) { FillBig(state, true); }
BENCHMARK(FillBigDataSet)->Unit(benchmark::kMillisecond);
BENCHMARK(FillBigTypedDataSet)->Unit(benchmark::kMillisecond);

// The grid alone, without a document behind it: 32,767 rows with their labels and 64 headings.
void FillTheGridAlone(benchmark::State& state)
{
    zor::FlexGrid grid;
    grid.resize(800, 600);
    grid.show();
    for (auto _ : state) {
        grid.beginFill();
        grid.setRows(32768);
        grid.setCols(65);
        for (int r = 1; r < 32768; ++r) {
            grid.setRowHeight(r, zor::FlexGrid::kDefaultRowHeight);
            grid.setTextMatrix(r, 0, QString::number(r - 1, 16).toUpper());
        }
        for (int c = 1; c < 65; ++c)
            grid.setTextMatrix(0, c, QStringLiteral("Section %1").arg(c));
        grid.endFill();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(FillTheGridAlone)->Unit(benchmark::kMillisecond);

// The big data set shown in a window, as the editing benchmarks start from.
std::unique_ptr<zor::Form1> BigTableShown(bool typedCells = false)
{
    qputenv("ZOR_HOME", (typedCells ? TheFolders().typed : TheFolders().big).path().toUtf8());
    auto form = std::make_unique<zor::Form1>(std::make_unique<SilentDialogs>());
    static_cast<void>(form->OpenRom(TheFolders().bigImage(typedCells))); // FillBig checks that it opens
    form->show();
    (void)QTest::qWaitForWindowExposed(form.get()); // the measures only need the events it lets run
    QCoreApplication::processEvents();
    return form;
}

// Commits of one cell; with the change list shown, it follows each of them. All start
// from the same 16,320 changed cells, so that the list has entries to search and move.
// The cell lies after them and takes a new byte each time: its line changes out of sight,
// the usual case. Or firstLine: it lies ahead of them and goes back and forth to the
// file's byte, so that each commit adds or takes away the list's first line, and every
// line shown moves. With typedCells the table's cells are 16-bit and the one committed
// is a number (column 30, even).
void CommitCells(benchmark::State& state, bool changesShown, bool firstLine = false, bool typedCells = false)
{
    const auto form = BigTableShown(typedCells);
    zor::DocumentState& doc = form->control().document();
    for (int row = 1000; row < 1255; ++row)
        for (int col = 1; col <= 64; ++col)
            zor::test::PutByte(doc, {zor::TabIdSection, form->control().session().view().CurrentDataSet, col, row},
                               *zor::CellByte(doc, zor::TabIdSection, form->control().session().view().CurrentDataSet, col, row) ^ 0x5A);
    zor::FlexGrid& grid = form->grid();
    const int row = firstLine ? 500 : 2000;
    grid.setRow(row);
    grid.setCol(30);
    const std::uint8_t original = *zor::CellByte(doc, zor::TabIdSection, form->control().session().view().CurrentDataSet, 30, row);
    if (changesShown) {
        // The window grows by the pane, so that the grid repaints as much as without it.
        const int gridWidth = form->grid().width();
        form->menus().action("ShowChanges")->trigger();
        QCoreApplication::processEvents();
        if (form->findChild<zor::ChangesPanel*>()->model()->list().size() != 255 * 64)
            state.SkipWithError("the change list does not hold the changed cells");
        if (form->grid().width() != gridWidth)
            state.SkipWithError("the pane changed the grid's room");
    }
    int value = 0;
    for (auto _ : state) {
        state.PauseTiming();
        form->control().document().History->Clear(zor::JournalSide::Undo); // keep the journal from filling up
        form->grid().setFocus();
        form->editing().open('1');
        ++value;
        form->editor().setText(QString::number(firstLine ? (value % 2 == 0 ? original : original ^ 1) : value % 256));
        QCoreApplication::processEvents(); // the editor shown
        state.ResumeTiming();
        if (!form->editing().commit())
            state.SkipWithError("the editor refused its text");
        QCoreApplication::processEvents(); // the repaint of the cell, and of the list
    }
}

void CommitOneCell(benchmark::State& state) { CommitCells(state, false); }
BENCHMARK(CommitOneCell)->Unit(benchmark::kMicrosecond);

void CommitOne16BitCell(benchmark::State& state) { CommitCells(state, false, false, true); }
BENCHMARK(CommitOne16BitCell)->Unit(benchmark::kMicrosecond);

// The fill, and the paint of the table in view, with and without the marks of changed
// cells: a column of cells changed all the way down, so that every row in view has one.
void FillAndPaint(benchmark::State& state, bool marks)
{
    const auto form = BigTableShown();
    for (int row = 1; row <= 32767; row += 2)
        zor::test::PutByte(form->control().document(), {zor::TabIdSection, form->control().session().view().CurrentDataSet, 3, row}, 0x5A);
    for (auto _ : state) {
        form->FillGrid();
        if (!marks)
            form->grid().setCellMarkProvider({});
        benchmark::DoNotOptimize(form->grid().viewport()->grab());
    }
}
void FillAndPaintWithMarks(benchmark::State& state) { FillAndPaint(state, true); }
void FillAndPaintWithoutMarks(benchmark::State& state) { FillAndPaint(state, false); }
BENCHMARK(FillAndPaintWithMarks)->Unit(benchmark::kMillisecond);
BENCHMARK(FillAndPaintWithoutMarks)->Unit(benchmark::kMillisecond);

void CommitOneCellWithTheChangeList(benchmark::State& state) { CommitCells(state, true); }
BENCHMARK(CommitOneCellWithTheChangeList)->Unit(benchmark::kMicrosecond);

void CommitOneCellAddingTheListsFirstLine(benchmark::State& state) { CommitCells(state, true, true); }
BENCHMARK(CommitOneCellAddingTheListsFirstLine)->Unit(benchmark::kMicrosecond);

void UndoAndRedoAPasteOf1000Cells(benchmark::State& state)
{
    const auto form = BigTableShown();
    zor::FlexGrid& grid = form->grid();
    grid.setRow(1);
    grid.setCol(1);
    grid.setRowSel(40);
    grid.setColSel(25);
    form->cells().Cope_Click();
    grid.setRow(100);
    grid.setCol(20);
    form->cells().pest_Click();
    if (form->control().document().History->UndoCount() != 1000)
        state.SkipWithError("the paste did not journal 1,000 cells");
    for (auto _ : state) {
        form->andou_Click();
        form->redou_Click();
    }
    state.counters["steps"] = benchmark::Counter(2, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(UndoAndRedoAPasteOf1000Cells)->Unit(benchmark::kMillisecond);

void CopyAndPasteABlockOf255By64(benchmark::State& state)
{
    const auto form = BigTableShown();
    zor::FlexGrid& grid = form->grid();
    for (auto _ : state) {
        grid.setRow(1);
        grid.setCol(1);
        grid.setRowSel(255);
        grid.setColSel(64);
        form->cells().Cope_Click();
        grid.setRow(1000);
        grid.setCol(1);
        form->cells().pest_Click();
        state.PauseTiming();
        if (form->control().document().History->UndoCount() != 255 * 64)
            state.SkipWithError("the paste did not journal the block");
        form->control().document().History->Clear(zor::JournalSide::Undo);
        state.ResumeTiming();
    }
}
BENCHMARK(CopyAndPasteABlockOf255By64)->Unit(benchmark::kMillisecond);

// P5
void StartWithTheSampleUntilShown(benchmark::State& state)
{
    qputenv("ZOR_HOME", TheFolders().sample.path().toUtf8());
    for (auto _ : state) {
        auto form = std::make_unique<zor::Form1>(std::make_unique<SilentDialogs>());
        const bool opened = form->OpenRom(TheFolders().sampleImage());
        form->show();
        if (!opened || !QTest::qWaitForWindowExposed(form.get()))
            state.SkipWithError("the window was not shown");
        state.PauseTiming();
        form.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(StartWithTheSampleUntilShown)->Unit(benchmark::kMillisecond);

} // namespace

namespace {
void PrintFindRatios(const zor::bench::RatioReporter& reporter);
}
// The colour and chart benchmarks, in their own section at the end.
void PrintColourAndChartRatios(const zor::bench::RatioReporter& reporter);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TheFolders();
    zor::bench::RatioReporter reporter;
    if (!reporter.run(&argc, argv))
        return 1;
    reporter.printRatio("CommitOneCellWithTheChangeList", "CommitOneCell", "commit with the change list shown / without", 1.2);
    reporter.printRatio("CommitOneCellAddingTheListsFirstLine", "CommitOneCell",
                        "commit adding or removing the list's first line / without the list", 1.2);
    reporter.printRatio("FillAndPaintWithMarks", "FillAndPaintWithoutMarks", "the fill and paint with marks / without", 1.2);
    reporter.printRatio("FillBigTypedDataSet", "FillBigDataSet", "the fill of 16-bit sections, every other one names / of bytes", 1.3);
    reporter.printRatio("CommitOne16BitCell", "CommitOneCell", "a commit of a 16-bit cell / of a byte", 1.2);
    PrintFindRatios(reporter);
    PrintColourAndChartRatios(reporter);
    return 0;
}

// ---- Find (編集 → 検索) on the big table: from the first cell to the one match, which lies
// in the last cell or the last row's label, each at most twice the table's fill
// (FillBigDataSet). The label search is timed as the first after a fill, with the
// labels folded anew.

#include "window/FindBar.h"

#include <QLineEdit>

namespace {

void FindFromTheFirstCell(benchmark::State& state, const QString& query, bool labelsFoldedAnew, int row, int col)
{
    const auto form = BigTableShown();
    zor::DocumentState& doc = form->control().document();
    const int shown = form->control().session().view().CurrentDataSet;
    zor::DataSet& table = doc.DataSets(shown);
    zor::test::FillIdBytes(doc, shown, [&](int c, int i) { return c == table.SectionCount && i == table.IdCount - 1 ? 0x5A : 0; });
    table.IdNames(table.IdCount) = QStringLiteral("最後の行");
    form->FillGrid();
    form->findChild<zor::FindBar*>()->field()->setText(query);
    zor::FlexGrid& grid = form->grid();
    for (auto _ : state) {
        state.PauseTiming();
        grid.setRow(1);
        grid.setCol(1);
        grid.setTopRow(1);
        if (labelsFoldedAnew)
            form->findChild<zor::FindBar*>()->forget(); // as the fill before a first search does
        QCoreApplication::processEvents();
        state.ResumeTiming();
        form->menus().action("SearchNext")->trigger();
        QCoreApplication::processEvents(); // the grid scrolled to the match and repainted
        state.PauseTiming();
        if (grid.Row() != row || grid.Col() != col)
            state.SkipWithError("find did not land on the match");
        state.ResumeTiming();
    }
}

void FindAByteOnlyTheLastCellHolds(benchmark::State& state) { FindFromTheFirstCell(state, QStringLiteral("0x5A"), false, 32767, 64); }
BENCHMARK(FindAByteOnlyTheLastCellHolds)->Unit(benchmark::kMillisecond);

void FindALabelOnlyTheLastRowHas(benchmark::State& state) { FindFromTheFirstCell(state, QStringLiteral("最後の行"), true, 32767, 1); }
BENCHMARK(FindALabelOnlyTheLastRowHas)->Unit(benchmark::kMillisecond);

void PrintFindRatios(const zor::bench::RatioReporter& reporter)
{
    reporter.printRatio("FindAByteOnlyTheLastCellHolds", "FillBigDataSet", "find of a byte only the last cell holds / the fill", 2.0);
    reporter.printRatio("FindALabelOnlyTheLastRowHas", "FillBigDataSet",
                        "find of a label only the last row has, labels folded anew / the fill", 2.0);
}

} // namespace

// ---- 値で色分け and グラフ, on the big table of 32,767 IDs × 64 sections:
// - the fill with colour by value, one paint of the view included: at most 1.2 times
//   the same without colour (the ranges of the columns in view are worked out anew);
// - a change of the chart's column (read, reduced, drawn): at most the table's fill;
// - a cursor move one row down with the status bar and the chart shown: at most 1.5 times
//   one with neither.

#include "window/ChartDock.h"
#include "window/StatusText.h"

#include <QChart>
#include <QStatusBar>

namespace {

void FillAndPaintColoured(benchmark::State& state, bool colour)
{
    const auto form = BigTableShown();
    form->menus().action("ColourByValue")->setChecked(colour); // not triggered: the user's settings stay as they are
    for (auto _ : state) {
        form->FillGrid();
        benchmark::DoNotOptimize(form->grid().viewport()->grab());
    }
    if (form->grid().hasCellColours() != colour)
        state.SkipWithError("the colours are not as asked");
}
void FillAndPaintWithColour(benchmark::State& state) { FillAndPaintColoured(state, true); }
void FillAndPaintWithoutColour(benchmark::State& state) { FillAndPaintColoured(state, false); }
BENCHMARK(FillAndPaintWithColour)->Unit(benchmark::kMillisecond);
BENCHMARK(FillAndPaintWithoutColour)->Unit(benchmark::kMillisecond);

// The baseline of a column change: the fill of the table, and what it paints.
void FillTheChartsTable(benchmark::State& state)
{
    const auto form = BigTableShown();
    for (auto _ : state) {
        form->FillGrid();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(FillTheChartsTable)->Unit(benchmark::kMillisecond);

// The chart shown, its window grown so that the grid keeps its room.
std::unique_ptr<zor::Form1> BigTableWithTheChart(benchmark::State& state)
{
    auto form = BigTableShown();
    const int gridHeight = form->grid().height();
    form->menus().action("ShowChart")->trigger();
    QCoreApplication::processEvents();
    if (form->findChild<zor::ChartDock*>()->isHidden() || form->grid().height() != gridHeight)
        state.SkipWithError("the chart did not come beside the grid's room");
    return form;
}

void ChangeTheChartsColumn(benchmark::State& state)
{
    const auto form = BigTableWithTheChart(state);
    zor::FlexGrid& grid = form->grid();
    grid.setRow(1000);
    int col = 1;
    for (auto _ : state) {
        col = col == 1 ? 2 : 1;
        grid.setCol(col);
        QCoreApplication::processEvents(); // the chart catches up, and the grid and chart repaint
    }
    if (form->findChild<zor::ChartDock*>()->column().rows() != 32767 || form->findChild<zor::ChartDock*>()->chart()->title().isEmpty())
        state.SkipWithError("the chart does not show the column");
}
BENCHMARK(ChangeTheChartsColumn)->Unit(benchmark::kMillisecond);

// With the status bar and the chart, or with neither: a hidden status bar describes nothing.
void MoveTheCursorDown(benchmark::State& state, bool shown)
{
    const auto form = shown ? BigTableWithTheChart(state) : BigTableShown();
    if (!shown)
        form->statusBar()->hide();
    zor::FlexGrid& grid = form->grid();
    grid.setCol(5);
    grid.setRow(1000);
    QCoreApplication::processEvents();
    int row = 1000;
    for (auto _ : state) {
        row = row < 30000 ? row + 1 : 1000;
        grid.setRow(row);
        QCoreApplication::processEvents();
    }
    if (shown && (form->findChild<zor::ChartDock*>()->markedRow() != row || !form->findChild<zor::StatusText*>()->text().contains(QStringLiteral("ID %1 ").arg(row - 1))))
        state.SkipWithError("the marker or the status bar did not follow the cursor");
}
void MoveTheCursorDownWithStatusAndChart(benchmark::State& state) { MoveTheCursorDown(state, true); }
void MoveTheCursorDownWithoutThem(benchmark::State& state) { MoveTheCursorDown(state, false); }
BENCHMARK(MoveTheCursorDownWithStatusAndChart)->Unit(benchmark::kMicrosecond);
BENCHMARK(MoveTheCursorDownWithoutThem)->Unit(benchmark::kMicrosecond);

} // namespace

void PrintColourAndChartRatios(const zor::bench::RatioReporter& reporter)
{
    reporter.printRatio("FillAndPaintWithColour", "FillAndPaintWithoutColour", "the fill and paint with colour by value / without", 1.2);
    reporter.printRatio("ChangeTheChartsColumn", "FillTheChartsTable", "a change of the chart's column / the table's fill", 1.0);
    reporter.printRatio("MoveTheCursorDownWithStatusAndChart", "MoveTheCursorDownWithoutThem",
                        "a cursor move one row down with the status bar and the chart / without them", 1.5);
}
