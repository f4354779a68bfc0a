// Merging the tags of a changed object with the tags it was read with.
#include "db/dxf/merge.h"

#include "db/dxfclass.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace cadhost::db::dxf {

namespace {

struct Segment {
    std::string name; // the subclass marker's value; "" for the object part
    Tags tags;        // the marker included
};

// Splits into the object part, the subclasses and the extended data.
std::vector<Segment> Split(const Tags& tags, Tags& xdata) {
    std::vector<Segment> segments(1);
    std::size_t i = 0;
    for (; i < tags.size() && tags[i].code != 1001; ++i) {
        if (tags[i].code == 100)
            segments.push_back(Segment{tags[i].value, {}});
        segments.back().tags.push_back(tags[i]);
    }
    xdata.assign(tags.begin() + static_cast<long>(i), tags.end());
    return segments;
}

} // namespace

Tags MergeChanged(const Tags& raw, const Tags& now) {
    Tags rawXData, nowXData;
    std::vector<Segment> before = Split(raw, rawXData);
    std::vector<Segment> after = Split(now, nowXData);
    Tags out;
    // The object part: the handle, the read 102 groups, then the rest as filed now.
    const Tags& head = after.front().tags;
    std::size_t h = 0;
    if (h < head.size() && (head[h].code == 5 || head[h].code == 105))
        out.push_back(head[h++]);
    bool inGroup = false;
    bool nowHasGroups = false;
    for (const Tag& tag : head)
        nowHasGroups = nowHasGroups || tag.code == 102;
    if (!nowHasGroups) {
        for (const Tag& tag : before.front().tags) {
            if (tag.code == 102)
                inGroup = !tag.value.empty() && tag.value[0] == '{';
            if (tag.code == 102 || inGroup)
                out.push_back(tag);
        }
    }
    out.insert(out.end(), head.begin() + static_cast<long>(h), head.end());

    std::vector<bool> used(before.size(), false);
    for (std::size_t s = 1; s < after.size(); ++s) {
        const Segment& segment = after[s];
        std::size_t start = out.size();
        out.insert(out.end(), segment.tags.begin(), segment.tags.end());
        const DxfSubclassInfo* subclass = FindDxfSubclass(segment.name);
        if (!subclass)
            continue;
        auto owns = [&](int code) {
            return std::find(subclass->owned.begin(), subclass->owned.end(), code) !=
                   subclass->owned.end();
        };
        for (std::size_t r = 1; r < before.size(); ++r) {
            if (used[r] || before[r].name != segment.name)
                continue;
            used[r] = true;
            for (const Tag& read : before[r].tags) {
                if (std::find(subclass->keepRead.begin(), subclass->keepRead.end(), read.code) ==
                    subclass->keepRead.end())
                    continue;
                for (std::size_t k = start; k < out.size(); ++k)
                    if (out[k].code == read.code)
                        out[k].value = read.value;
            }
            std::set<int> present;
            for (const Tag& tag : segment.tags)
                present.insert(tag.code);
            for (const Tag& tag : before[r].tags)
                if (tag.code != 100 && !present.count(tag.code) && !owns(tag.code))
                    out.push_back(tag);
            break;
        }
    }
    out.insert(out.end(), nowXData.begin(), nowXData.end());
    return out;
}

} // namespace cadhost::db::dxf
