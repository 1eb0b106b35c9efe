# Runs one fuzz target for SECONDS over a scratch copy of its seed corpus CORPUS, so that the
# committed corpus never grows. An input that breaks the target is kept in SCRATCH/artifacts.
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH}/artifacts)
file(COPY ${CORPUS}/ DESTINATION ${SCRATCH}/corpus)

# The files a target writes go to memory where the system offers it: on a disk, the flushes of
# writing and replacing small files make every run many times slower. The folder is removed
# afterwards even when the target stopped at a finding.
get_filename_component(name ${SCRATCH} NAME)
set(files ${SCRATCH}/files)
if(IS_DIRECTORY /dev/shm)
    string(RANDOM LENGTH 8 suffix)
    set(files /dev/shm/tessary-fuzz-${name}-${suffix})
endif()
file(MAKE_DIRECTORY ${files})
set(ENV{TMPDIR} ${files})

execute_process(
    COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=10 -print_final_stats=1
        -artifact_prefix=${SCRATCH}/artifacts/ ${SCRATCH}/corpus
    RESULT_VARIABLE result)
file(REMOVE_RECURSE ${files})
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${FUZZER} failed (${result}); the input is in ${SCRATCH}/artifacts")
endif()
