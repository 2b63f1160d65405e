#include "compare/report_compare.h"

#include <cstdlib>
#include <cstring>

#include "compare/report_members.h"

namespace {

// A value of one of the two documents.
struct Side {
    const JsonDocument* document;
    int value;
};

// One step of a difference's path: a member's name, or an item named by the
// value of its key member.
struct Step {
    const JsonDocument* document;
    int token;            // the name, or the key's value
    const char* keyName;  // null for a member's name
};

// A member or item of before (first) matched with one of after (second); -1
// where one side has none.
struct Pair {
    int first;
    int second;
};

// How the positions of an array's items, or an object's members, sort.
struct ItemOrder {
    const JsonDocument* document;
    int array;        // the array or object
    const char* key;  // compare the items' key values; null: the items
};

int KeyOf(const ItemOrder& order, int position)
{
    const int item = order.document->Item(order.array, position);
    return order.key != nullptr ? order.document->Find(item, order.key) : item;
}

// Two items' order by their values, or their keys' values.
int ByItem(int a, int b, const void* context)
{
    const ItemOrder& order = *static_cast<const ItemOrder*>(context);
    return CompareJsonValues(*order.document, KeyOf(order, a), *order.document, KeyOf(order, b));
}

// Two members' order by their names' bytes.
int ByName(int a, int b, const void* context)
{
    const ItemOrder& order = *static_cast<const ItemOrder*>(context);
    const JsonDocument& document = *order.document;
    return CompareJsonStrings(document, document.MemberName(order.array, a), document,
                              document.MemberName(order.array, b));
}

// Whether every item is an object with the key member, a string or a number.
bool HasKeys(const JsonDocument& document, int array, const char* key)
{
    for (int i = 0; i < document.Count(array); ++i) {
        const int item = document.Item(array, i);
        if (document.Kind(item) != kJsonObject)
            return false;
        const int value = document.Find(item, key);
        if (value < 0 || (document.Kind(value) != kJsonString && document.Kind(value) != kJsonNumber))
            return false;
    }
    return true;
}

class Comparison {
public:
    Comparison(const JsonDocument& before, const JsonDocument& after, bool json, TextBuffer& out)
        : before_(before), after_(after), json_(json), out_(out)
    {
    }

    long Run()
    {
        if (json_) {
            out_.Append("{\"schemaVersion\":\"");
            out_.Append(kComparisonSchemaVersion);
            out_.Append("\",\"differences\":[");
        }
        CompareObjects(0, 0);
        if (json_)
            out_.Append("]}\n");
        return failed_ || !out_.Ok() ? -1 : count_;
    }

private:
    void Compare(int a, int b)
    {
        const JsonKind kind = before_.Kind(a);
        if (kind == kJsonObject && after_.Kind(b) == kJsonObject)
            CompareObjects(a, b);
        else if (kind == kJsonArray && after_.Kind(b) == kJsonArray)
            CompareArrays(a, b);
        else if (CompareJsonValues(before_, a, after_, b) != 0)
            Changed(a, b);
    }

    // The members of a and b matched by their names, or their items by their
    // keys (by their values when key is null): the pairs in the order of
    // after, with what only before has where before had it. Null, failed_
    // set, when memory ran out. unique, when asked, tells whether no two
    // items of one side share a key.
    Pair* Match(int a, int b, bool names, const char* key, int& pairCount, bool* unique = nullptr)
    {
        const int countA = before_.Count(a), countB = after_.Count(b);
        const ItemOrder orderA{&before_, a, key}, orderB{&after_, b, key};
        int (*how)(int, int, const void*) = names ? ByName : ByItem;
        int* sortedA = Positions(countA);
        int* sortedB = Positions(countB);
        int* matchA = Positions(countA);
        int* matchB = Positions(countB);
        const std::size_t most = static_cast<std::size_t>(countA) + static_cast<std::size_t>(countB) + 1;
        Pair* pairs = static_cast<Pair*>(std::malloc(sizeof(Pair) * most));
        pairCount = 0;
        const bool ok = sortedA != nullptr && sortedB != nullptr && matchA != nullptr && matchB != nullptr &&
                        pairs != nullptr && SortIndices(sortedA, countA, how, &orderA) &&
                        SortIndices(sortedB, countB, how, &orderB);
        if (ok) {
            if (unique != nullptr)
                *unique = Unique(sortedA, countA, orderA) && Unique(sortedB, countB, orderB);
            for (int i = 0; i < countA; ++i)
                matchA[i] = -1;
            for (int j = 0; j < countB; ++j)
                matchB[j] = -1;
            for (int i = 0, j = 0; i < countA && j < countB;) {
                const int order = names ? CompareJsonStrings(before_, before_.MemberName(a, sortedA[i]), after_,
                                                             after_.MemberName(b, sortedB[j]))
                                        : CompareJsonValues(before_, KeyOf(orderA, sortedA[i]), after_,
                                                            KeyOf(orderB, sortedB[j]));
                if (order == 0) {
                    matchA[sortedA[i]] = sortedB[j];
                    matchB[sortedB[j]] = sortedA[i];
                }
                i += order <= 0 ? 1 : 0;
                j += order >= 0 ? 1 : 0;
            }
            int p = 0;
            for (int j = 0; j < countB; ++j) {
                const int i = matchB[j];
                for (; i >= 0 && p < i; ++p) {
                    if (matchA[p] < 0)
                        pairs[pairCount++] = Pair{p, -1};
                }
                if (i >= 0 && p == i)
                    ++p;
                pairs[pairCount++] = Pair{i, j};
            }
            for (; p < countA; ++p) {
                if (matchA[p] < 0)
                    pairs[pairCount++] = Pair{p, -1};
            }
        }
        std::free(sortedA);
        std::free(sortedB);
        std::free(matchA);
        std::free(matchB);
        if (!ok) {
            std::free(pairs);
            failed_ = true;
            return nullptr;
        }
        return pairs;
    }

    // Positions 0 to count - 1, or null when memory ran out.
    static int* Positions(int count)
    {
        int* positions = static_cast<int*>(std::malloc(sizeof(int) * static_cast<std::size_t>(count + 1)));
        for (int i = 0; positions != nullptr && i < count; ++i)
            positions[i] = i;
        return positions;
    }

    void CompareObjects(int a, int b)
    {
        int pairCount = 0;
        Pair* pairs = Match(a, b, true, nullptr, pairCount);
        for (int k = 0; pairs != nullptr && k < pairCount && !failed_; ++k) {
            const Pair& pair = pairs[k];
            const JsonDocument& named = pair.second >= 0 ? after_ : before_;
            const int name =
                pair.second >= 0 ? after_.MemberName(b, pair.second) : before_.MemberName(a, pair.first);
            std::size_t length = 0;
            const char* text = named.String(name, length);
            Push(Step{&named, name, nullptr});
            schema_.PushName(text, length);
            if (pair.first < 0)
                Added(after_.MemberValue(b, pair.second));
            else if (pair.second < 0)
                Removed(before_.MemberValue(a, pair.first));
            else
                Compare(before_.MemberValue(a, pair.first), after_.MemberValue(b, pair.second));
            schema_.Pop();
            --depth_;
        }
        std::free(pairs);
    }

    void CompareArrays(int a, int b)
    {
        const KnownMember* known = FindKnownMember(schema_);
        const char* key = known != nullptr ? known->key : nullptr;
        if (key != nullptr && HasKeys(before_, a, key) && HasKeys(after_, b, key)) {
            if (CompareKeyed(a, b, key))
                return;
        } else if (AllNumbers(before_, a) && AllNumbers(after_, b)) {
            if (CompareJsonValues(before_, a, after_, b) != 0)
                Changed(a, b);
            return;
        }
        CompareCollections(a, b);
    }

    static bool AllNumbers(const JsonDocument& document, int array)
    {
        for (int i = 0; i < document.Count(array); ++i) {
            if (document.Kind(document.Item(array, i)) != kJsonNumber)
                return false;
        }
        return true;
    }

    static bool Unique(const int* sorted, int count, const ItemOrder& order)
    {
        for (int i = 1; i < count; ++i) {
            if (ByItem(sorted[i - 1], sorted[i], &order) == 0)
                return false;
        }
        return true;
    }

    // Item by item, matched by their keys. False, having said nothing, when
    // a key is not unique on one side.
    bool CompareKeyed(int a, int b, const char* key)
    {
        int pairCount = 0;
        bool unique = false;
        Pair* pairs = Match(a, b, false, key, pairCount, &unique);
        if (pairs == nullptr)
            return true;
        for (int k = 0; unique && k < pairCount && !failed_; ++k) {
            const Pair& pair = pairs[k];
            const JsonDocument& named = pair.second >= 0 ? after_ : before_;
            const int item = pair.second >= 0 ? after_.Item(b, pair.second) : before_.Item(a, pair.first);
            Push(Step{&named, named.Find(item, key), key});
            schema_.PushItem();
            if (pair.first < 0)
                Added(item);
            else if (pair.second < 0)
                Removed(item);
            else
                Compare(before_.Item(a, pair.first), item);
            schema_.Pop();
            --depth_;
        }
        std::free(pairs);
        return unique;
    }

    // What only one side has, as many times as it has it more.
    void CompareCollections(int a, int b)
    {
        const int countA = before_.Count(a), countB = after_.Count(b);
        int pairCount = 0;
        Pair* pairs = Match(a, b, false, nullptr, pairCount);
        if (pairs == nullptr)
            return;
        int removed = 0, added = 0;
        for (int k = 0; k < pairCount; ++k) {
            removed += pairs[k].second < 0 ? 1 : 0;
            added += pairs[k].first < 0 ? 1 : 0;
        }
        if (removed + added > 0) {
            StartDifference();
            if (json_) {
                out_.Append("\"change\":\"items\",\"oldCount\":");
                out_.AppendNumber(countA);
                out_.Append(",\"newCount\":");
                out_.AppendNumber(countB);
                AppendItemsJson(pairs, pairCount, a, b, true);
                AppendItemsJson(pairs, pairCount, a, b, false);
                out_.AppendChar('}');
            } else {
                out_.AppendNumber(countA);
                out_.Append(" -> ");
                out_.AppendNumber(countB);
                out_.Append(" (");
                out_.AppendNumber(removed);
                out_.Append(" removed, ");
                out_.AppendNumber(added);
                out_.Append(" added)\r\n");
                for (int pass = 0; pass < 2; ++pass) {
                    for (int k = 0; k < pairCount; ++k) {
                        const Pair& pair = pairs[k];
                        if (pass == 0 && pair.second < 0) {
                            out_.Append("  - ");
                            AppendJsonValue(out_, before_, before_.Item(a, pair.first));
                            out_.Append("\r\n");
                        } else if (pass == 1 && pair.first < 0) {
                            out_.Append("  + ");
                            AppendJsonValue(out_, after_, after_.Item(b, pair.second));
                            out_.Append("\r\n");
                        }
                    }
                }
            }
        }
        std::free(pairs);
    }

    void AppendItemsJson(const Pair* pairs, int pairCount, int a, int b, bool removed)
    {
        out_.Append(removed ? ",\"removed\":[" : ",\"added\":[");
        bool first = true;
        for (int k = 0; k < pairCount; ++k) {
            const Pair& pair = pairs[k];
            if (removed ? pair.second >= 0 : pair.first >= 0)
                continue;
            out_.Append(first ? "" : ",");
            first = false;
            if (removed)
                AppendJsonValue(out_, before_, before_.Item(a, pair.first));
            else
                AppendJsonValue(out_, after_, after_.Item(b, pair.second));
        }
        out_.AppendChar(']');
    }

    void Push(const Step& step)
    {
        steps_[depth_++] = step;
    }

    // The difference's path: text "a.b[KEY].c: ", or JSON {"path":[...],
    void StartDifference()
    {
        if (json_) {
            out_.Append(count_ > 0 ? ",{\"path\":[" : "{\"path\":[");
            for (int i = 0; i < depth_; ++i) {
                const Step& step = steps_[i];
                out_.Append(i > 0 ? "," : "");
                if (step.keyName != nullptr) {
                    out_.Append("{\"");
                    AppendJsonEscaped(out_, step.keyName, std::strlen(step.keyName));
                    out_.Append("\":");
                    AppendJsonValue(out_, *step.document, step.token);
                    out_.AppendChar('}');
                } else {
                    AppendJsonValue(out_, *step.document, step.token);
                }
            }
            out_.Append("],");
        } else {
            for (int i = 0; i < depth_; ++i) {
                const Step& step = steps_[i];
                if (step.keyName != nullptr) {
                    out_.AppendChar('[');
                    AppendJsonValue(out_, *step.document, step.token);
                    out_.AppendChar(']');
                } else {
                    std::size_t length = 0;
                    const char* name = step.document->String(step.token, length);
                    out_.Append(i > 0 ? "." : "");
                    AppendJsonEscaped(out_, name, length);
                }
            }
            out_.Append(": ");
        }
        ++count_;
    }

    void Changed(int a, int b)
    {
        StartDifference();
        if (json_) {
            out_.Append("\"change\":\"changed\",\"old\":");
            AppendJsonValue(out_, before_, a);
            out_.Append(",\"new\":");
            AppendJsonValue(out_, after_, b);
            out_.AppendChar('}');
        } else {
            AppendJsonValue(out_, before_, a);
            out_.Append(" -> ");
            AppendJsonValue(out_, after_, b);
            out_.Append("\r\n");
        }
    }

    void Added(int b) { OneSided(after_, b, "added", "new"); }
    void Removed(int a) { OneSided(before_, a, "removed", "old"); }

    void OneSided(const JsonDocument& document, int value, const char* change, const char* side)
    {
        StartDifference();
        if (json_) {
            out_.Append("\"change\":\"");
            out_.Append(change);
            out_.Append("\",\"");
            out_.Append(side);
            out_.Append("\":");
            AppendJsonValue(out_, document, value);
            out_.AppendChar('}');
        } else {
            out_.Append(change);
            out_.AppendChar(' ');
            AppendJsonValue(out_, document, value);
            out_.Append("\r\n");
        }
    }

    const JsonDocument& before_;
    const JsonDocument& after_;
    const bool json_;
    TextBuffer& out_;
    long count_ = 0;
    bool failed_ = false;
    MemberPath schema_;
    Step steps_[kJsonMaxDepth + 1] = {};
    int depth_ = 0;
};

}  // namespace

long CompareReports(const JsonDocument& before, const JsonDocument& after, bool json, TextBuffer& out)
{
    return Comparison(before, after, json, out).Run();
}
