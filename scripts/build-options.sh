# The CMake options of the two test configurations, sourced by scripts/test and by every other
# script that builds build/normal (scripts/screenshots): configured with other options, the
# folder would be rebuilt whole by the next of them.
# Line tables are enough for the tests' stack traces and cost far less to build than full debug
# information; the sanitizer build is optimised as ASan recommends.
normal_options=(-DTRILLOT_PCH=ON -DTRILLOT_UNITY=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG")
sanitize_options=(-DTRILLOT_SANITIZE=ON -DTRILLOT_BENCHMARKS=OFF -DTRILLOT_PCH=ON -DTRILLOT_UNITY=ON
                  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG")
