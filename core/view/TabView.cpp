#include "core/view/TabView.h"

#include "core/document/CellBytes.h"
#include "core/files/Ini.h"
#include "core/files/Text.h"
#include "core/view/Grid.h"

#include <algorithm>

namespace zor {

namespace {

const QString kText = QStringLiteral("Text");

QString SectionKey(int section) { return QStringLiteral("Section%1").arg(section); }

} // namespace

void RestoreTabView(ViewState& view, int tab)
{
    view.CurrentTab = tab;
    view.CurrentDataSet = view.TabState(tab, ItemDataSet);
    view.CurrentCol = view.TabState(tab, ItemCol);
    view.CurrentRow = view.TabState(tab, ItemRow);
}

void SaveTabView(ViewState& view, int tab, int col, int row, int leftCol, int topRow)
{
    view.TabState(tab, ItemDataSet) = view.CurrentDataSet;
    view.TabState(tab, ItemCol) = col;
    view.TabState(tab, ItemRow) = row;
    view.TabState(tab, ItemLeftCol) = leftCol;
    view.TabState(tab, ItemTopRow) = topRow;
}

RevealPlan PlanReveal(const DocumentState& doc, TableRef shown, int tab, int dataSet, int row, int col)
{
    RevealPlan plan;
    if (tab != TabIdSection)
        dataSet = 0;
    if (tab == TabIndividual)
        col = 1;
    if (!CellByte(doc, tab, dataSet, col, row))
        return plan;
    plan.valid = true;
    plan.tab = tab;
    plan.dataSet = dataSet;
    plan.row = row;
    plan.col = col;
    plan.changesTab = tab != shown.tab;
    plan.changesDataSet = !plan.changesTab && tab == TabIdSection && dataSet != shown.dataSet;
    return plan;
}

void AimReveal(ViewState& view, const RevealPlan& plan)
{
    if (!plan.valid)
        return;
    if (plan.changesTab) {
        view.TabState(plan.tab, ItemDataSet) = plan.dataSet;
        view.TabState(plan.tab, ItemCol) = plan.col;
        view.TabState(plan.tab, ItemRow) = plan.row;
    } else {
        view.CurrentCol = plan.col;
        view.CurrentRow = plan.row;
    }
}

NotePlace NotePlaceOf(const DocumentState& doc, const ViewState& view, int tab)
{
    if (tab < TabIdSection || tab > TabBattle)
        return {};
    const int dataSet = tab == TabIdSection ? view.TabState(tab, ItemDataSet) : 0;
    const int section = tab == TabIndividual ? view.TabState(tab, ItemRow) : view.TabState(tab, ItemCol);
    if (section < 1)
        return {}; // no cell under the cursor: no section
    return {TableSettingsFile(doc, tab, dataSet), SectionKey(section)};
}

QString NoteForStore(const QString& shown)
{
    QString stored;
    stored.reserve(shown.size());
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const QChar c = shown[i];
        if (c == u'\r' || c == u'\n') {
            stored += QStringLiteral("\\n");
            if (c == u'\r' && i + 1 < shown.size() && shown[i + 1] == u'\n')
                ++i;
        } else {
            stored += c;
        }
    }
    return stored;
}

QString NoteForShow(const QString& stored)
{
    QString shown = stored;
    return shown.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
}

QString NoteInsertion(qsizetype noteLength, qsizetype replaced, const QString& inserted)
{
    qsizetype room = std::max<qsizetype>(0, kMaxNoteLength - (noteLength - replaced));
    if (inserted.size() <= room)
        return inserted;
    if (room > 0 && inserted[room - 1].isHighSurrogate())
        --room;
    return inserted.left(room);
}

QString LoadNote(const DocumentState& doc, const ViewState& view, int tab)
{
    const NotePlace place = NotePlaceOf(doc, view, tab);
    if (place.file.isEmpty())
        return QString();
    return NoteForShow(ReadIniWhole(kText, place.key, place.file));
}

Result<void> StoreNote(const DocumentState& doc, const ViewState& view, int tab, const QString& shown)
{
    const NotePlace place = NotePlaceOf(doc, view, tab);
    if (place.file.isEmpty())
        return {};
    const Result<void> written = WriteIni(kText, place.key, NoteForStore(ToCp932Forms(shown)), place.file);
    if (!written)
        return written.failure().said(QStringLiteral("%1 にメモを書けません").arg(place.file));
    return {};
}

Result<void> SaveColumnWidths(const DocumentState& doc, TableRef table, const std::vector<int>& widths)
{
    const QString file = TableSettingsFile(doc, table.tab, table.dataSet);
    if (file.isEmpty())
        return {};
    std::vector<std::pair<QString, QString>> keys;
    for (std::size_t c = 0; c < widths.size(); ++c)
        if (widths[c] != kKeepStoredWidth)
            keys.emplace_back(SectionKey(static_cast<int>(c)), QString::number(std::max(widths[c], kMinColumnWidth)));
    const Result<void> written = WriteIniKeys(QStringLiteral("ColWidth"), keys, file);
    if (!written)
        return written.failure().said(QStringLiteral("%1 に列の幅を書けません").arg(file));
    return {};
}

Result<NotationChange> SetNotation(DocumentState& doc, TableRef table, int row, int col, int code)
{
    const int tab = table.tab;
    int dataSet = 0;
    int section = 0;
    int sections = 0;
    switch (tab) {
    case TabIdSection:
        if (!HasTable(doc, tab, table.dataSet))
            return NotationChange::NoSection;
        dataSet = table.dataSet;
        section = col;
        sections = doc.DataSets(dataSet).SectionCount;
        break;
    case TabIndividual:
        section = row;
        sections = doc.IndividualCount;
        break;
    case TabBattle:
        section = col;
        sections = kBattleRecordSize;
        break;
    default:
        return NotationChange::NoSection;
    }
    std::int16_t* notation = SectionSetting(doc, SettingNotation, tab, dataSet, section);
    if (section < 1 || section > sections || !notation)
        return NotationChange::NoSection;

    *notation = static_cast<std::int16_t>(code);
    const QString file = TableSettingsFile(doc, tab, dataSet);
    if (file.isEmpty())
        return NotationChange::Changed; // no mode folder to keep it in
    const Result<void> written = WriteIni(QStringLiteral("Notation"), SectionKey(section), QString::number(code), file);
    if (!written)
        return written.failure().said(QStringLiteral("%1 に表記を書けません").arg(file));
    return NotationChange::Changed;
}

} // namespace zor
