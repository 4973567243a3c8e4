#include "platform/folderorder.h"

#include <gtest/gtest.h>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace qv;

namespace {

// One step on both the order and a plain ordered set of the folders held: '+' takes a folder
// in, '-' drops it, '?' asks for the folders below one, '0' clears.
struct Step {
    char op;
    const char* folder;
};

QStringList BelowInSet(const std::set<QString>& held, const QString& below) {
    QStringList found;
    for (auto it = held.lower_bound(below); it != held.end() && it->startsWith(below); ++it)
        found.append(*it);
    return found;
}

// Runs the steps on both and compares every answer of '?', and at the end the answers for
// every folder's children and for the whole tree.
void RunAgainstSet(const std::vector<Step>& steps, const std::string& name) {
    FolderOrder order;
    std::set<QString> held;
    const FolderOrder::Held holds = [&](const QString& folder) { return held.count(folder) > 0; };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const QString folder = QString::fromUtf8(steps[i].folder);
        switch (steps[i].op) {
        case '+':
            held.insert(folder);
            order.Add(folder);
            break;
        case '-':
            held.erase(folder);
            order.Drop(holds);
            break;
        case '0':
            held.clear();
            order.Clear();
            break;
        case '?':
            ASSERT_EQ(order.Below(folder, holds), BelowInSet(held, folder))
                << name << ", step " << i << " below " << steps[i].folder;
            break;
        }
    }
    for (const QString& below :
         {QStringLiteral("/"), QStringLiteral("/a/"), QStringLiteral("/a/b/"),
          QStringLiteral("/ab/"), QStringLiteral("/A/")})
        ASSERT_EQ(order.Below(below, holds), BelowInSet(held, below)) << name << " at the end";
}

} // namespace

TEST(FolderOrder, TellsTheFoldersBelowOneAsAnOrderedSetWould) {
    const std::vector<std::pair<std::string, std::vector<Step>>> cases = {
        {"none held", {{'?', "/a/"}}},
        {"added out of order, asked once",
         {{'+', "/a/c"}, {'+', "/a"}, {'+', "/a/b"}, {'+', "/ab"}, {'+', "/a/b/x"}, {'?', "/a/"}}},
        {"a prefix that is no folder of it",
         {{'+', "/a"}, {'+', "/ab"}, {'+', "/abc/d"}, {'?', "/a/"}, {'?', "/ab/"}}},
        {"letter case is not folded", {{'+', "/A/x"}, {'+', "/a/x"}, {'?', "/a/"}, {'?', "/A/"}}},
        {"added after a sort",
         {{'+', "/a/z"}, {'?', "/a/"}, {'+', "/a/b"}, {'+', "/a/m"}, {'?', "/a/"}}},
        {"dropped before the sort", {{'+', "/a/b"}, {'+', "/a/c"}, {'-', "/a/b"}, {'?', "/a/"}}},
        {"dropped after the sort",
         {{'+', "/a/b"}, {'+', "/a/c"}, {'+', "/a/d"}, {'?', "/a/"}, {'-', "/a/c"}, {'?', "/a/"}}},
        {"dropped and taken in again, before and after a sort",
         {{'+', "/a/b"},
          {'-', "/a/b"},
          {'+', "/a/b"},
          {'?', "/a/"},
          {'-', "/a/b"},
          {'+', "/a/b"},
          {'+', "/a/c"},
          {'?', "/a/"}}},
        {"every folder dropped",
         {{'+', "/a/b"}, {'+', "/a/c"}, {'-', "/a/b"}, {'-', "/a/c"}, {'?', "/a/"}}},
        {"cleared, then taken in again",
         {{'+', "/a/b"}, {'?', "/a/"}, {'0', ""}, {'?', "/a/"}, {'+', "/a/c"}, {'?', "/a/"}}},
    };
    for (const auto& [name, steps] : cases)
        RunAgainstSet(steps, name);
}

TEST(FolderOrder, AgreesWithAnOrderedSetOverLongRunsOfChanges) {
    // Many drops between questions make the order let go of them on its own.
    std::mt19937 random(7);
    const std::vector<std::string> names = {"/a", "/a/b", "/a/b/c", "/a/bc", "/ab", "/a/B", "/b"};
    std::vector<std::string> folders;
    for (const std::string& name : names)
        for (int k = 0; k < 6; ++k)
            folders.push_back(name + "/" + std::to_string(k));
    for (int run = 0; run < 20; ++run) {
        std::vector<Step> steps;
        for (int i = 0; i < 400; ++i) {
            const char* folder = folders[random() % folders.size()].c_str();
            const int pick = int(random() % 20);
            steps.push_back({pick < 10 ? '+' : pick < 18 ? '-' : '?', folder});
        }
        // Only what the cache can do: a folder is taken in when not held, dropped when held.
        std::set<std::string> held;
        std::vector<Step> possible;
        for (const Step& step : steps) {
            if (step.op == '+' && !held.insert(step.folder).second)
                continue;
            if (step.op == '-' && held.erase(step.folder) == 0)
                continue;
            possible.push_back(step.op == '?' ? Step{'?', "/a/"} : step);
        }
        RunAgainstSet(possible, "run " + std::to_string(run));
    }
}
