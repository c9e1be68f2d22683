#pragma once

#include <optional>

#include "store/ini.h"
#include "store/plan_store.h"

namespace temvik {

// The files of one plan part that a rewrite replaces, and their scratch copies.
struct PlanFileSet {
  std::string_view items;
  std::string_view marks;
  std::string_view scratchItems;
  std::string_view scratchMarks;
};
inline constexpr PlanFileSet kSequentialFiles{kItemFile, kMarkFile, kScratchItemFile,
                                              kScratchMarkFile};
inline constexpr PlanFileSet kTimedFiles{kTimedItemFile, kTimedMarkFile, kScratchTimedItemFile,
                                         kScratchTimedMarkFile};

// Replaces the item file (and, when given, the mark file) with new contents
// so that a crash at any moment leaves the old plan or the new one, whole.
//
// Each new file is first written completely as its scratch copy. The scratch
// item file is written last: once it exists the change is decided, and the
// remaining steps (moving the scratch copies into place) can be finished by
// recoverInterruptedRewrite() at the next start. An empty mark document
// removes the mark file.
//
// A step that fails (rather than a crash) throws StoreError after putting
// the marks back and removing the scratch copies: the plan stays as it was.
void commitPlanRewrite(PlanStore& store, const IniDocument& items,
                       const std::optional<IniDocument>& marks,
                       const PlanFileSet& set = kSequentialFiles);

// Finishes a rewrite that a crash interrupted, or drops one that had not
// been decided yet, of both plan parts. Run at start-up before anything
// reads the plan.
void recoverInterruptedRewrite(PlanStore& store);

}  // namespace temvik
