// Fuzz target for the command line's router: the input is a typed line, cut at blanks and line
// ends into words as the console cuts them, and routed through the program's own command
// table. Whatever the words, the router must keep to the table: a found entry's words begin
// with the typed ones, and an outcome agrees with a plain count of the matches.
#include "cliroute.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr size_t kMaxWords = 32;

// The program's table, with each handler stood for by its name.
struct Entry {
    const char* word;
    const char* handler;
};
struct Record {
    const char* word;
    Entry entries[kCliRecordSlots];
};

#define CLI_RECORD(word) {word, {
#define CLI_ENTRY(word, name) {word, #name},
#define CLI_RECORD_END(help) {"-help", #help}, {"?", #help}}},
const Record kTable[] = {
#include "cli/cmdtable.inc"
    {nullptr, {}},
};

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool begins(const char* tableWord, const char* typed)
{
    const size_t n = std::strlen(typed);
    return n > 0 && std::strncmp(tableWord, typed, n) == 0 && std::strlen(tableWord) >= n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> words;
    std::string current;
    for (size_t i = 0; i < size && words.size() < kMaxWords; ++i) {
        const char c = char(data[i]);
        if (c == ' ' || c == '\n' || c == '\0') {
            if (!current.empty())
                words.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty() && words.size() < kMaxWords)
        words.push_back(current);
    if (words.empty())
        return 0;
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(&w[0]);
    argv.push_back(nullptr);
    const int argc = int(words.size());

    (void)CliIsOverviewWord(argv[0]);
    const CliRoute route = CliFindCommand(kTable, argc, argv.data());

    int mains = 0;
    for (const Record* r = kTable; r->word != nullptr; ++r)
        mains += begins(r->word, argv[0]) ? 1 : 0;
    if (mains != 1) {
        check(route.outcome == (mains == 0 ? CliRoute::Unknown : CliRoute::AmbiguousCommand));
        return 0;
    }
    const Record& record = kTable[route.record];
    check(begins(record.word, argv[0]));
    const char* sub = argc > 1 ? argv[1] : kCliHelpWord;
    int subs = 0;
    bool exact = false;
    for (const Entry* e = record.entries; e->word != nullptr; ++e) {
        if (begins(e->word, sub)) {
            ++subs;
            exact = exact || std::strcmp(e->word, sub) == 0;
        }
    }
    if (route.outcome == CliRoute::Found) {
        check(route.entry >= 0 && route.entry < kCliMaxSubCommands);
        check(begins(record.entries[route.entry].word, sub));
        check(subs == 1 || exact);
    } else if (route.outcome == CliRoute::Unknown) {
        check(subs == 0);
    } else {
        check(route.outcome == CliRoute::AmbiguousSubCommand && subs > 1);
    }
    return 0;
}
