// The library's setup-field table checked against a second copy of its rows, typed by hand
// into fixtures/setup_table.txt, plus lookup behaviour and layout sanity rules that would
// expose a slip made identically in both copies.
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QVector>
#include <QtTest>

#include "setuptable.h"

namespace {

struct FixtureField {
    qint64 offset = -1;
    qint64 length = 0;
};

struct FixtureRow {
    quint32 id = 0;
    quint32 attribute = 0;
    FixtureField layouts[kSetupLayouts];
};

// Parses "offset+length" or "-".
bool parseField(const QString& text, FixtureField* out)
{
    if (text == QLatin1String("-")) {
        *out = FixtureField{};
        return true;
    }
    const QStringList parts = text.split(QLatin1Char('+'));
    if (parts.size() != 2)
        return false;
    bool okOffset = false, okLength = false;
    out->offset = parts[0].toLongLong(&okOffset);
    out->length = parts[1].toLongLong(&okLength);
    return okOffset && okLength && out->offset >= 0 && out->length > 0;
}

// Reads the fixture; on a malformed line returns false and describes it in *error.
bool loadFixture(QVector<FixtureRow>* rows, QString* error)
{
    QFile file(QStringLiteral(PALVIR_FIXTURES "/setup_table.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot open %1").arg(file.fileName());
        return false;
    }
    QTextStream in(&file);
    int lineNo = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        ++lineNo;
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList cols = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        FixtureRow row;
        bool okId = false, okAttr = false;
        if (cols.size() == 2 + kSetupLayouts) {
            row.id = cols[0].toUInt(&okId);
            row.attribute = cols[1].toUInt(&okAttr);
        }
        bool okFields = okId && okAttr;
        for (int l = 0; okFields && l < kSetupLayouts; ++l)
            okFields = parseField(cols[2 + l], &row.layouts[l]);
        if (!okFields) {
            *error = QStringLiteral("malformed fixture line %1: %2").arg(lineNo).arg(line);
            return false;
        }
        rows->append(row);
    }
    return true;
}

const QVector<FixtureRow>& fixture()
{
    static QVector<FixtureRow> rows;
    static bool loaded = false;
    if (!loaded) {
        QString error;
        if (!loadFixture(&rows, &error)) {
            qWarning("%s", qPrintable(error));
            rows.clear();
        }
        loaded = true;
    }
    return rows;
}

QString describe(qint64 offset, qint64 length, qint64 flags)
{
    return QStringLiteral("%1+%2 flags %3").arg(offset).arg(length).arg(flags);
}

} // namespace

class TestSetupTable : public QObject {
    Q_OBJECT

private slots:
    // --- The table against the hand-typed copy ---
    void fixtureHasEveryRow();
    void rowsMatchFixture_data();
    void rowsMatchFixture();

    // --- Lookups ---
    void lookupFindsEveryId();
    void lookupRejectsUnknownIds();
    void fieldInfoRejectsBadLayoutOrId();
    void fieldInfoReportsAbsentFields();
    void fieldInfoPointsIntoTheRow();

    // --- Layout sanity ---
    void noOverlapWithinLayout_data();
    void noOverlapWithinLayout();
    void fieldsFitTheImage_data();
    void fieldsFitTheImage();
    void layoutThreeNeedsTheLargeBuffer();
    void absentFieldsAreMarkedBothWays();
};

void TestSetupTable::fixtureHasEveryRow()
{
    const QVector<FixtureRow>& rows = fixture();
    QCOMPARE(rows.size(), kSetupTableRows);
    // Each id 0..117 exactly once in the copy, so the position comparison covers all of them.
    QVector<int> seen(kSetupTableRows, 0);
    for (const FixtureRow& row : rows) {
        QVERIFY2(row.id < quint32(kSetupTableRows), qPrintable(QStringLiteral("id %1").arg(row.id)));
        ++seen[int(row.id)];
    }
    for (int id = 0; id < kSetupTableRows; ++id)
        QVERIFY2(seen[id] == 1, qPrintable(QStringLiteral("id %1 appears %2 times").arg(id).arg(seen[id])));
}

void TestSetupTable::rowsMatchFixture_data()
{
    QTest::addColumn<int>("position");
    const QVector<FixtureRow>& rows = fixture();
    for (int i = 0; i < rows.size(); ++i)
        QTest::newRow(qPrintable(QStringLiteral("id %1").arg(rows[i].id))) << i;
}

void TestSetupTable::rowsMatchFixture()
{
    QFETCH(int, position);
    QVERIFY(position < kSetupTableRows);
    const FixtureRow& want = fixture()[position];
    const SetupTableRow& got = gSetupTable[position];

    QVERIFY2(got.id == want.id,
             qPrintable(QStringLiteral("position %1: table has id %2, copy has id %3")
                            .arg(position).arg(got.id).arg(want.id)));
    QVERIFY2(got.attribute == want.attribute,
             qPrintable(QStringLiteral("id %1: table attribute %2, copy %3")
                            .arg(want.id).arg(got.attribute).arg(want.attribute)));
    for (int l = 0; l < kSetupLayouts; ++l) {
        const CFieldInfo& f = got.layouts[l];
        const FixtureField& w = want.layouts[l];
        const bool same = f.offset == w.offset && f.length == w.length && f.flags == 0;
        QVERIFY2(same, qPrintable(QStringLiteral("id %1 layout %2: table %3, copy %4")
                                      .arg(want.id).arg(l)
                                      .arg(describe(f.offset, f.length, f.flags))
                                      .arg(describe(w.offset, w.length, 0))));
    }
}

void TestSetupTable::lookupFindsEveryId()
{
    for (quint32 id = 0; id < quint32(kSetupTableRows); ++id) {
        const SetupTableRow* row = gettablelist(id);
        QVERIFY2(row, qPrintable(QStringLiteral("id %1 not found").arg(id)));
        QVERIFY2(row->id == id, qPrintable(QStringLiteral("id %1 gives the row of id %2").arg(id).arg(row->id)));
        QVERIFY(row >= gSetupTable && row < gSetupTable + kSetupTableRows);
    }
}

void TestSetupTable::lookupRejectsUnknownIds()
{
    QVERIFY(!gettablelist(118));
    QVERIFY(!gettablelist(119));
    QVERIFY(!gettablelist(1000));
    QVERIFY(!gettablelist(0xFFFFFFFFu));
}

void TestSetupTable::fieldInfoRejectsBadLayoutOrId()
{
    QVERIFY(!gettablefieldinfo(4, 10));
    QVERIFY(!gettablefieldinfo(255, 10));
    QVERIFY(!gettablefieldinfo(0, 119));
    QVERIFY(!gettablefieldinfo(0, 118));
    QVERIFY(!gettablefieldinfo(3, 0xFFFFFFFFu));
}

void TestSetupTable::fieldInfoReportsAbsentFields()
{
    const CFieldInfo* f = gettablefieldinfo(1, 26);
    QVERIFY(f);
    QCOMPARE(f->offset, qint64(-1));
    QCOMPARE(f->length, qint64(0));
    QVERIFY(!f->exists());

    // The same field is present in layout 0.
    const CFieldInfo* f0 = gettablefieldinfo(0, 26);
    QVERIFY(f0);
    QVERIFY(f0->exists());
}

void TestSetupTable::fieldInfoPointsIntoTheRow()
{
    // The row that comes out of order must still be found by id, in every layout.
    for (quint32 id : {78u, 83u, 84u, 0u, 117u}) {
        const SetupTableRow* row = gettablelist(id);
        QVERIFY(row);
        for (int l = 0; l < kSetupLayouts; ++l)
            QVERIFY2(gettablefieldinfo(uint8_t(l), id) == &row->layouts[l],
                     qPrintable(QStringLiteral("id %1 layout %2").arg(id).arg(l)));
    }
}

void TestSetupTable::noOverlapWithinLayout_data()
{
    QTest::addColumn<int>("layout");
    for (int l = 0; l < kSetupLayouts; ++l)
        QTest::newRow(qPrintable(QStringLiteral("layout %1").arg(l))) << l;
}

void TestSetupTable::noOverlapWithinLayout()
{
    QFETCH(int, layout);
    for (int i = 0; i < kSetupTableRows; ++i) {
        const SetupTableRow& a = gSetupTable[i];
        const CFieldInfo& fa = a.layouts[layout];
        if (!fa.exists())
            continue;
        for (int j = i + 1; j < kSetupTableRows; ++j) {
            const SetupTableRow& b = gSetupTable[j];
            const CFieldInfo& fb = b.layouts[layout];
            if (!fb.exists())
                continue;
            const bool overlap = fa.offset < fb.offset + fb.length && fb.offset < fa.offset + fa.length;
            if (!overlap)
                continue;
            // Field 85 is documented as the very byte of field 37.
            const bool alias = (a.id == 37 && b.id == 85) || (a.id == 85 && b.id == 37);
            if (alias) {
                QCOMPARE(fa.offset, fb.offset);
                QCOMPARE(fa.length, fb.length);
                continue;
            }
            QFAIL(qPrintable(QStringLiteral("layout %1: id %2 (%3) overlaps id %4 (%5)")
                                 .arg(layout)
                                 .arg(a.id).arg(describe(fa.offset, fa.length, fa.flags))
                                 .arg(b.id).arg(describe(fb.offset, fb.length, fb.flags))));
        }
    }
}

void TestSetupTable::fieldsFitTheImage_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<qint64>("limit");
    QTest::newRow("layout 0") << 0 << qint64(32768);
    QTest::newRow("layout 1") << 1 << qint64(32768);
    QTest::newRow("layout 2") << 2 << qint64(32768);
    QTest::newRow("layout 3") << 3 << qint64(kSetupImageSize);
}

void TestSetupTable::fieldsFitTheImage()
{
    QFETCH(int, layout);
    QFETCH(qint64, limit);
    for (const SetupTableRow& row : gSetupTable) {
        const CFieldInfo& f = row.layouts[layout];
        if (!f.exists())
            continue;
        QVERIFY2(f.offset + f.length <= limit,
                 qPrintable(QStringLiteral("id %1 layout %2 ends at %3, past %4")
                                .arg(row.id).arg(layout).arg(f.offset + f.length).arg(limit)));
    }
}

void TestSetupTable::layoutThreeNeedsTheLargeBuffer()
{
    QCOMPARE(kSetupImageSize, 98304);
    qint64 end = 0;
    for (const SetupTableRow& row : gSetupTable) {
        const CFieldInfo& f = row.layouts[3];
        if (f.exists())
            end = qMax<qint64>(end, f.offset + f.length);
    }
    QVERIFY2(end > 32768, qPrintable(QStringLiteral("layout 3 ends at %1").arg(end)));
}

void TestSetupTable::absentFieldsAreMarkedBothWays()
{
    // A half-marked entry (offset -1 with a length, or a length 0 at an offset) is a slip.
    for (const SetupTableRow& row : gSetupTable) {
        for (int l = 0; l < kSetupLayouts; ++l) {
            const CFieldInfo& f = row.layouts[l];
            const bool absent = f.offset == -1 && f.length == 0;
            QVERIFY2(absent || (f.offset >= 0 && f.length > 0),
                     qPrintable(QStringLiteral("id %1 layout %2: %3")
                                    .arg(row.id).arg(l).arg(describe(f.offset, f.length, f.flags))));
            QVERIFY2(f.flags == 0, qPrintable(QStringLiteral("id %1 layout %2 flags %3")
                                                  .arg(row.id).arg(l).arg(f.flags)));
        }
    }
}

QTEST_APPLESS_MAIN(TestSetupTable)
#include "test_setuptable.moc"
