// "Insert meta tag into file" as the window and the command line both run it: the checks, the
// tag built first when the output box holds none, and the insertion with its backup rule.
#pragma once

#include "analysis/host.hpp"
#include "analysis/run.hpp"
#include "io/document.hpp"
#include "io/fileops.hpp"
#include "tags/insert.hpp"

namespace tw {

// A document whose name ends in ".php" (in any case) is always inserted with a backup.
bool InsertionForcesBackup(TextView documentPath);

// Trims the input file's name and the output box as the window shows them, refuses when
// there is nothing to insert, builds the tag when the output box does not hold one, and
// inserts it. `caption` is the insert button's caption; `document` the command's reading of
// the document when it has one (it must keep everything it reads). Shows nothing: the
// messages of the outcome are the caller's to show.
InsertOutcome RunInsertCommand(Analysis& analysis, RunHost& host, const ProgramText& texts,
                               TextView caption, DocumentReader* document = nullptr,
                               FileOps& ops = RealFileOps());

}  // namespace tw
