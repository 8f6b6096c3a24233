#pragma once
// Whether a batch run may write over its own source files: the question the
// batch dialog asks before a run that writes (convert, transform, copy).

#include "resource/TURL.h"

// True when some file the run would read can be written by it: the two
// folders are the same (with recurse, one lies in the tree of the other) and
// the destination name of some name that the source masks select
// (TBatch::MakeDestName) is itself a name they select. Decided from the
// masks alone, without listing any folder. A source mask that cannot be read
// selects nothing.
bool BatchSpecsClash(const TURL& source, const TURL& dest, bool recurse);

// The name part of the question: some name that one of the sourceMasks
// selects has a destination name under destMask that one of them selects.
bool BatchMasksClash(const std::string& sourceMasks, const std::string& destMask);
