// The files the program ships, made from the readable sources in data/src: the defaults files of
// the German template folder, the example calculation (with its results computed) and the module
// description file. The generator tool writes them into data/; a test regenerates them and
// compares the bytes with the files in the tree.
#pragma once

#include <string>
#include <vector>

namespace velmoran {

struct BundledFile {
    std::string Path;   // relative to data/
    std::string Bytes;
};

// Reads the sources from `sourceFolder` (data/src) and returns every generated file. Raises
// EFOpenError for a missing source and EConvertError for a line that does not convert.
std::vector<BundledFile> GenerateBundledData(const std::string& sourceFolder);

}  // namespace velmoran
