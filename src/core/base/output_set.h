// The files of one run put into place together: every new file on disk first, then the swap under a lock.
#pragma once

#include <span>
#include <string>

#include "base/output_file.h"

namespace quillet {

/*
 * Commits a run's outputs as one set. First every file is finished (written out and synced, OutputFile::Finish):
 * a full disk or any other write failure shows here, while every earlier file is still as it was. Only then, under
 * an exclusive advisory lock (flock) on each folder involved, are `removals` removed (earlier files the run no
 * longer stands behind; a link is removed itself, never its target) and the files renamed into place in the order
 * given. Two runs on the same outputs therefore never interleave their swaps: the files at the names are always
 * one run's set. The lock is held only for the swap, which takes no time worth speaking of. Still under it, the
 * hidden temporary files that earlier runs on the same names left when they were killed between finishing and
 * renaming (this user's, whose process is gone) are removed.
 *
 * A set that must be told apart from a mixed one (a run killed between two renames leaves the new first files
 * beside the earlier last ones) puts last the file that describes the others: the caller finishes the others
 * first (OutputFile::Finish), writes their Stamp() into the last one, and a later reader compares StampOfFile of
 * each with what the last one recorded.
 *
 * Throws FileError. A failure before the swap changes nothing at the final names; a failure of a rename leaves the
 * files before it in place and the rest unchanged. The caller abandons the files that were not committed.
 */
void CommitOutputs(std::span<OutputFile* const> files, std::span<const std::string> removals = {});

}  // namespace quillet
