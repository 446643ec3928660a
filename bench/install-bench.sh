#!/bin/bash
# Time of a whole installation of the sample package (from the folder's confirmation to the
# completion message) beside the sum of the progress dialog's 100 ms pauses; the overhead
# beyond the pauses is the figure. A benchmark, not a test; it ends with a non-zero status
# when an installation fails. Needs scripts/build.sh first.
exec "$(dirname "$0")/../scripts/journey.sh" --bench
