#include "tools/bench/bench_core.h"
#include <stdlib.h>
#include <string.h>

namespace bench {

namespace {

bool startsWith(const std::string& s, const char* prefix) {
    return s.compare(0, strlen(prefix), prefix) == 0;
}

// Reads a decimal number at pos; -1 when none.
long numberAt(const std::string& s, size_t pos, size_t* end) {
    size_t i = pos;
    long v = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && i - pos < 10) v = v * 10 + (s[i++] - '0');
    *end = i;
    return i == pos ? -1 : v;
}

// "<head><a><mid><b>" with the whole text consumed.
bool twoNumbers(const std::string& s, const char* head, const char* mid, long* a, long* b) {
    if (!startsWith(s, head)) return false;
    size_t e = 0;
    *a = numberAt(s, strlen(head), &e);
    if (*a < 0 || s.compare(e, strlen(mid), mid) != 0) return false;
    *b = numberAt(s, e + strlen(mid), &e);
    return *b >= 0 && e == s.size();
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c; }

}  // namespace

Status parseStatus(const std::string& text) {
    Status st;
    if (text == "空闲") st.phase = Phase::Idle;
    else if (text == "搜寻待转码文件...") st.phase = Phase::Search;
    else if (twoNumbers(text, "备份 已完成:", " 共计:", &st.done, &st.total)) st.phase = Phase::Backup;
    else if (twoNumbers(text, "转换 已完成:", " 共计:", &st.done, &st.total)) st.phase = Phase::Convert;
    else if (twoNumbers(text, "转换完成 已转换:", " 共计:", &st.done, &st.total)) st.phase = Phase::Done;
    if (st.phase == Phase::Unknown) st.done = st.total = -1;
    return st;
}

std::vector<std::string> splitList(const std::string& list) {
    std::vector<std::string> items;
    size_t from = 0;
    for (size_t comma; (comma = list.find(',', from)) != std::string::npos; from = comma + 1)
        items.push_back(list.substr(from, comma - from));
    if (from < list.size()) items.push_back(list.substr(from));
    return items;
}

bool matchesAny(const std::string& name, const std::vector<std::string>& items) {
    size_t dot = name.rfind('.');
    for (const std::string& item : items) {
        if (item.empty()) {
            if (dot == std::string::npos) return true;
            continue;
        }
        if (dot == std::string::npos || name.size() - dot - 1 != item.size()) continue;
        bool same = true;
        for (size_t i = 0; i < item.size() && same; i++) same = lower(name[dot + 1 + i]) == lower(item[i]);
        if (same) return true;
    }
    return false;
}

double seconds(long long ticks, long long frequency) {
    return frequency > 0 ? (double)ticks / (double)frequency : 0.0;
}

}  // namespace bench
