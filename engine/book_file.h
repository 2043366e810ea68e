#pragma once

#include <string>
#include <string_view>

#include "text/text_types.h"

namespace cuijian {

/// Names a file opened by OpenExistingFile until CloseFile; 0 names no file.
using FileNumber = int;

/// The folder that holds the running executable, without a trailing separator; empty when unknown.
std::string RunDirectory();

/// Creates `path` or cuts it to length 0, writes `data` and closes it; false (nothing done) for an
/// empty path, false when any step fails (what was written stays).
bool WriteWholeFile(const std::string& path, const Bytes& data);

/// Opens an existing file for reading and writing at position 0; never creates or truncates;
/// 0 when the path is empty or the file cannot be opened.
FileNumber OpenExistingFile(const std::string& path);

/// Writes the text's bytes at the file's current position; false for an unknown number or a
/// failed write, after which the position is back where it was.
bool WriteTextToFile(FileNumber file, std::string_view text);

/// Closes `file` and forgets its number; does nothing for an unknown number.
void CloseFile(FileNumber file);

}  // namespace cuijian
