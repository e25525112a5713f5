// Our own help file format. A help file "X.hlp" (or "X.chm", the same format) is an index in
// Windows-1252 text with the sections [OPTIONS] (Title=, Contents= a topic, Popups= a pop-up file),
// [MAP] (context number=topic) and [KEYWORDS] (keyword=topic); ";" starts a comment, and a line
// without "=" or with a bad number is skipped. Topics are HTML files in the folder "X/" beside the
// index, named relative to it and possibly ending in "#anchor". A pop-up file holds blocks: a line
// ".topic N", then the text up to the next ".topic". Texts are held in UTF-8.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmoran {

struct THelpIndex {
    std::string Title;
    std::string Contents;
    std::string Popups;
    std::map<int, std::string> Map;
    // In file order; a keyword may name several topics.
    std::vector<std::pair<std::string, std::string>> Keywords;
};

// Reads an index from its Windows-1252 text.
THelpIndex ParseHelpIndex(std::string_view bytes);
// Reads an index file; nothing when the file cannot be read.
std::optional<THelpIndex> LoadHelpIndex(const std::string& fileName);

// The topic folder of an index file: "dir/X.hlp" -> "dir/X".
std::string TopicFolderOf(const std::string& indexFile);
// A topic name as a path: the folder, "/", the topic with "\" read as "/" (the anchor kept); empty
// when the topic would lie outside the help file's folder (the topic folder's parent), by its
// text or, links followed, by the file it leads to.
std::string TopicPath(const std::string& topicFolder, const std::string& topic);

// A context number as an index's map and a pop-up file hold it; nothing for a number beyond 32
// bits, which must not be cut down to some other topic's number.
std::optional<int> ContextNumber(std::int64_t context);

// The blocks of a pop-up file, by topic number.
std::map<int, std::string> ParsePopupTopics(std::string_view bytes);

// The topics whose keyword is `key` (without regard to case), or, when `partial`, begins with it.
std::vector<std::string> KeywordTopics(const THelpIndex& index, std::string_view key, bool partial);

// The index page: a list of keyword links, sorted, in Windows-1252.
std::string IndexPageSource(const THelpIndex& index);

}  // namespace velmoran
