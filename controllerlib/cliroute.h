// Finding a typed command in the command line's table. The table is a list of records, each a
// main word and its sub-command entries; the first two typed words pick one entry:
//  - the main word is matched case-sensitively as a prefix of each record's word; every record
//    it begins is counted and the last one kept (one match: found; none: unknown; more:
//    ambiguous). A typed word longer than the record's word never matches.
//  - the sub-command word (the second typed word, or "-help" when there is none) is matched the
//    same way over the record's entries, except that an entry of exactly the typed length ends
//    the walk there: "create" runs "create" even where "create5060" follows it.
// The words "help", "main" and "?" in any case ask for the category overview instead; the
// caller tests them first.
//
// The table type is the caller's: records with `word` and `entries`, entries with `word`; a
// record with no main word ends the table, an entry with no word ends a record. Each record
// holds at most kCliMaxSubCommands entries. Words are NUL-terminated; argc is at least 1.
#pragma once

#include "cliutil.h"

#include <cstring>

// The most sub-commands one record holds, and the slots a record keeps (one more for its end).
constexpr int kCliMaxSubCommands = 80;
constexpr int kCliRecordSlots = kCliMaxSubCommands + 1;

// The sub-command word taken when only the main word was typed: the record's help entry.
constexpr const char* kCliHelpWord = "-help";

struct CliRoute {
    enum Outcome {
        Unknown,              // no record or no entry matches (or the table is empty)
        AmbiguousCommand,     // the main word begins more than one record's word
        AmbiguousSubCommand,  // the sub-command word begins more than one entry's word
        Found,
    };
    Outcome outcome = Unknown;
    int record = -1;
    int entry = -1;
};

// True when `word` asks for the category overview ("help", "main" or "?", case ignored).
inline bool CliIsOverviewWord(const char* word)
{
    static const char* const kWords[] = {"help", "main", "?"};
    for (const char* w : kWords) {
        std::size_t i = 0;
        while (w[i] != '\0' && word[i] != '\0'
               && (word[i] == w[i] || (word[i] >= 'A' && word[i] <= 'Z' && word[i] - 'A' + 'a' == w[i])))
            ++i;
        if (w[i] == '\0' && word[i] == '\0')
            return true;
    }
    return false;
}

// True when the typed word is a prefix of the table's word (an empty typed word matches nothing).
inline bool CliWordBegins(const char* tableWord, const char* typed)
{
    const std::size_t length = std::strlen(typed);
    return length > 0 && find_match_str_amount(tableWord, typed) == length;
}

template <typename Record>
CliRoute CliFindCommand(const Record* table, int argc, char** argv)
{
    CliRoute route;
    if (table == nullptr || argc < 1 || table[0].word == nullptr)
        return route;

    int matches = 0;
    for (int r = 0; table[r].word != nullptr; ++r) {
        if (CliWordBegins(table[r].word, argv[0])) {
            ++matches;
            route.record = r;
        }
    }
    if (matches == 0)
        return route;
    if (matches > 1) {
        route.outcome = CliRoute::AmbiguousCommand;
        return route;
    }

    const char* sub = argc > 1 ? argv[1] : kCliHelpWord;
    const std::size_t subLength = std::strlen(sub);
    const auto& entries = table[route.record].entries;
    matches = 0;
    for (int e = 0; e < kCliMaxSubCommands && entries[e].word != nullptr; ++e) {
        if (!CliWordBegins(entries[e].word, sub))
            continue;
        ++matches;
        route.entry = e;
        if (std::strlen(entries[e].word) == subLength)
            break;
    }
    if (matches == 0)
        route.outcome = CliRoute::Unknown;
    else if (matches > 1)
        route.outcome = CliRoute::AmbiguousSubCommand;
    else
        route.outcome = CliRoute::Found;
    return route;
}
