#include "entries/ListOperations.h"

#include "common/ListRows.h"

#include <gtest/gtest.h>

#include <random>

using namespace kuji;

namespace {

// A number draw's results, in draw order.
ResultList drawnNumbers(std::initializer_list<std::uint32_t> values)
{
    ResultList list;
    list.reset(0, 1, nullptr);
    for (std::uint32_t v : values)
        list.appendNumber(v);
    return list;
}

std::vector<std::string> texts(const ResultList& list)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < list.size(); ++i)
        out.push_back(list.text(i));
    return out;
}

std::vector<std::string> keys(const ResultList& list)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < list.size(); ++i)
        out.push_back(formatSequenceKey(list.key(i)));
    return out;
}

using Texts = std::vector<std::string>;

// A plain one-column list, as the Pickup Record window keeps it: rows and their keys.
struct PlainList {
    Texts rows;
    std::vector<std::uint32_t> keys;

    RowOrder sort(ListOrder order)
    {
        const RowOrder applied = sortedRowOrder(
            rows.size(), order, [this](std::size_t i) { return keys[i]; },
            [this](std::size_t i) { return std::string_view(rows[i]); });
        applyRowOrder(rows, applied);
        applyRowOrder(keys, applied);
        return applied;
    }
};

RowSelection selectionOf(std::size_t rows, std::initializer_list<std::size_t> selected)
{
    RowSelection selection(rows);
    for (std::size_t row : selected)
        selection.set(row, true);
    return selection;
}

} // namespace

TEST(ListOperations, SortDeleteAndCopyTheDrawnList)
{
    ResultList list = drawnNumbers({ 5, 1, 3 });
    sortResults(list, ListOrder::Ascending);
    EXPECT_EQ(texts(list), (Texts { "1", "3", "5" }));
    sortResults(list, ListOrder::Descending);
    EXPECT_EQ(texts(list), (Texts { "5", "3", "1" }));
    EXPECT_EQ(copySelectedResults(list, selectionOf(3, { 0, 2 })), "5\r\n1");
    sortResults(list, ListOrder::DrawOrder);
    EXPECT_EQ(texts(list), (Texts { "5", "1", "3" }));

    RowSelection middle = selectionOf(3, { 1 });
    deleteSelectedResults(list, middle);
    EXPECT_EQ(middle.size(), 2u);
    EXPECT_EQ(middle.count(), 0u);
    sortResults(list, ListOrder::Ascending);
    sortResults(list, ListOrder::DrawOrder);
    EXPECT_EQ(texts(list), (Texts { "5", "3" }));
    EXPECT_EQ(keys(list), (Texts { "000000000", "000000002" }));
}

TEST(ListOperations, CopyTakesFullTextsInDisplayOrderAndNothingForNoSelection)
{
    ResultList list;
    auto entries = std::make_shared<EntryList>();
    const std::string longEntry(5000, 'x');
    entries->append(longEntry);
    entries->append("二");
    entries->append("");
    list.reset(0, 0, entries);
    for (std::uint32_t i : { 0u, 1u, 2u, 1u })
        list.appendEntry(i);
    EXPECT_EQ(copySelectedResults(list, RowSelection(4)), "");
    RowSelection all(4);
    all.selectAll();
    EXPECT_EQ(copySelectedResults(list, all), longEntry + "\r\n二\r\n\r\n二");
    // An empty row in the selection still gets its line.
    EXPECT_EQ(copySelectedResults(list, selectionOf(4, { 2, 3 })), "\r\n二");
}

TEST(ListOperations, TextOrderIgnoresCaseAndWidthAndTiesKeepDrawOrderBothWays)
{
    // Shown in an order that is not the draw order, so only the keys can give it back.
    PlainList list { { "B", "９", "a", "10", "b", "A", "１０" }, { 6, 4, 3, 2, 0, 1, 5 } };
    list.sort(ListOrder::Ascending);
    EXPECT_EQ(list.rows, (Texts { "10", "１０", "９", "A", "a", "b", "B" }));
    list.sort(ListOrder::Descending);
    EXPECT_EQ(list.rows, (Texts { "b", "B", "A", "a", "９", "10", "１０" }));
    list.sort(ListOrder::DrawOrder);
    EXPECT_EQ(list.rows, (Texts { "b", "A", "10", "a", "９", "１０", "B" }));
}

TEST(ListOperations, JapaneseTextsFollowTheSyllabary)
{
    PlainList list { { "漢字", "がく", "カキ", "さ", "abc", "がき", "かき", "あいう", "【2回目の抽選結果：5件】", "" },
        { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 } };
    list.sort(ListOrder::Ascending);
    // Voiced marks only count where the kana are otherwise equal; katakana equals hiragana.
    EXPECT_EQ(list.rows,
        (Texts { "", "【2回目の抽選結果：5件】", "abc", "あいう", "カキ", "かき", "がき", "がく", "さ", "漢字" }));
}

TEST(ListOperations, SelectionAndCurrentRowFollowTheSort)
{
    ResultList list = drawnNumbers({ 40, 7, 300, 7, 12 });
    RowSelection selection = selectionOf(5, { 0, 2, 3 }); // 40, 300 and the second 7
    std::size_t current = 2; // 300
    const RowOrder order = sortResults(list, ListOrder::Ascending);
    ASSERT_EQ(texts(list), (Texts { "12", "300", "40", "7", "7" }));
    selection = selection.reordered(order);
    current = inverseOrder(order)[current];
    EXPECT_EQ(current, 1u);
    EXPECT_EQ(keys(list)[4], "000000003");
    EXPECT_EQ(selection.ranges(), (std::vector<std::pair<std::size_t, std::size_t>> { { 1, 2 }, { 4, 4 } }));
    EXPECT_EQ(copySelectedResults(list, selection), "300\r\n40\r\n7");

    deleteSelectedResults(list, selection);
    EXPECT_EQ(texts(list), (Texts { "12", "7" }));
    EXPECT_EQ(keys(list), (Texts { "000000004", "000000001" }));

    // A selection left over from before a change of the list acts on nothing.
    RowSelection stale = selectionOf(5, { 0 });
    EXPECT_EQ(copySelectedResults(list, stale), "");
    deleteSelectedResults(list, stale);
    EXPECT_EQ(list.size(), 2u);
}

TEST(ListOperations, DigitKeysMatchTheCollatorsOwn)
{
    TextSortKeys quick;
    TextSortKeys slow(false);
    EXPECT_TRUE(quick.usesDigitShortcut());
    EXPECT_FALSE(slow.usesDigitShortcut());
    std::mt19937 random(3);
    std::vector<std::string> samples { "0", "00", "007", "1", "10", "9", std::string(24, '9'), std::string(25, '1') };
    for (int i = 0; i < 2000; ++i) {
        std::string digits(1 + random() % 24, '0');
        for (char& ch : digits)
            ch = static_cast<char>('0' + random() % 10);
        samples.push_back(digits);
    }
    for (const std::string& s : samples) {
        quick.add(s);
        slow.add(s);
        const auto a = quick.key(quick.size() - 1);
        const auto b = slow.key(slow.size() - 1);
        EXPECT_TRUE(std::equal(a.begin(), a.end(), b.begin(), b.end())) << s;
    }
}

TEST(ListOperations, SelectionRangesAndCounts)
{
    RowSelection selection(6);
    selection.selectRange(1, 2);
    selection.selectRange(4, 99); // clipped to the list
    EXPECT_EQ(selection.count(), 4u);
    EXPECT_EQ(selection.ranges(), (std::vector<std::pair<std::size_t, std::size_t>> { { 1, 2 }, { 4, 5 } }));
    selection.clear();
    EXPECT_TRUE(selection.ranges().empty());
    selection.selectAll();
    EXPECT_EQ(selection.ranges(), (std::vector<std::pair<std::size_t, std::size_t>> { { 0, 5 } }));
}

TEST(ListOperations, LongAndBrokenTextsGetWholeKeys)
{
    std::string kana;
    for (int i = 0; i < 3000; ++i)
        kana += "あ";
    // Keys far longer than the room kept ready for one, differing only at the very end; bytes
    // that are no UTF-8 sort as the replacement character, after every kana.
    const Texts texts { kana + "う", kana + "い", "\xff\xfe", kana + "イ" };
    PlainList list { texts, { 0, 1, 2, 3 } };
    const RowOrder order = list.sort(ListOrder::Ascending);
    EXPECT_EQ(order, (RowOrder { 1, 3, 0, 2 }));

    TextSortKeys ready;
    ready.reserve(1000);
    ready.add(texts[0]);
    TextSortKeys tight;
    tight.add(texts[0]);
    EXPECT_GT(tight.key(0).size(), 3000u);
    EXPECT_TRUE(std::equal(ready.key(0).begin(), ready.key(0).end(), tight.key(0).begin(), tight.key(0).end()));
}
