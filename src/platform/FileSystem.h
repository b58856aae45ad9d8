#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// Questions to the file system and small changes to it. Paths are UTF-8 on every system.
namespace lumark::platform {

// What a path names, links followed.
bool Exists(const std::string& path);
bool IsFolder(const std::string& path);
bool IsRegularFile(const std::string& path);
// Whether this user may write the file (false for a missing one).
bool MayWrite(const std::string& path);
// Whether a new file can be made in `folder` (false for a missing one). Windows rights come
// from the folder's access list, so there a file is made and dropped to find out.
bool FolderTakesNewFiles(const std::string& folder);

// What an entry of a folder is, the entry itself looked at: a link to a folder is told apart
// from a folder, so that a walk does not follow it; any other entry is a file.
enum class EntryKind { Gone, Folder, LinkToFolder, File };
EntryKind EntryKindOf(const std::string& path);

// The names in `folder` but "." and "..", sorted by their bytes; false with errno set when it
// cannot be read.
bool ListFolder(const std::string& folder, std::vector<std::string>& names);

// Whether `name` matches the shell pattern `pattern` (*, ? and [...]).
bool NameMatches(const std::string& pattern, const std::string& name);

// Creates `folder` and the folders above it that are missing, private to the user; false with
// errno set when one cannot be made or the path names something else.
bool MakePrivateFolders(const std::string& folder);

// Makes a new name in the folder durable; a failure is not reported, since the bytes are
// where they belong either way.
void SyncFolder(const std::string& folder);

// Puts `from` in the place of `to`, replacing it; false with errno set.
bool RenameOver(const std::string& from, const std::string& to);
// Deletes the file; false with errno set (ENOENT when it was gone already).
bool RemoveFile(const std::string& path);

// Opens a file to read its bytes as they are; null with errno set when it cannot. A file that
// another program holds open without sharing is tried again for about a second, then is EBUSY.
std::FILE* OpenForReading(const std::string& path);

// What a failure with this errno value means, for a message about a file.
std::string ErrorText(int error);

// The value of an environment variable in UTF-8, empty when it is not set.
std::string EnvironmentText(const char* name);

long ProcessId();

// The bytes of a regular file of at most `limit` bytes. Missing when it does not exist; Failed
// when it is something else (a pipe is not waited on), larger, or cannot be read.
enum class ReadResult { Read, Missing, Failed };
ReadResult ReadSmallFile(const std::string& path, std::string& bytes, std::size_t limit);

}  // namespace lumark::platform
