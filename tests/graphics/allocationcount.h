// The bytes the program holds through new, on every thread, at most since a mark: the test
// executable stands in for the global new and delete to count them.
#pragma once

namespace qv::test {

// False where a sanitizer keeps the heap to itself: a test that counts is then skipped.
bool CanCountHeldBytes();
// Starts counting the most held from what is held now.
void MarkHeldBytes();
// The most held since the mark, beyond what was held at the mark.
long long MostHeldSinceMark();

} // namespace qv::test
