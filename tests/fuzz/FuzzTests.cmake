# The fuzz targets, one per input the program reads from outside. With
# QUORLAX_FUZZ (Clang, `make fuzz`) each links libFuzzer; otherwise each is
# a replay program that CTest runs over its saved inputs in corpus/<target>.
set(QUORLAX_FUZZ_DIR ${PROJECT_SOURCE_DIR}/tests/fuzz)
set(QUORLAX_FUZZ_TARGETS wire address chosen_text data_files stored_values history five_stroke)

foreach(target IN LISTS QUORLAX_FUZZ_TARGETS)
  if(QUORLAX_FUZZ)
    add_executable(fuzz_${target} ${QUORLAX_FUZZ_DIR}/fuzz_${target}.cpp)
    target_link_options(fuzz_${target} PRIVATE -fsanitize=fuzzer)
  else()
    add_executable(fuzz_${target} ${QUORLAX_FUZZ_DIR}/fuzz_${target}.cpp ${QUORLAX_FUZZ_DIR}/replay_main.cpp)
    add_test(NAME fuzz_corpus.${target} COMMAND fuzz_${target} ${QUORLAX_FUZZ_DIR}/corpus/${target})
  endif()
  target_link_libraries(fuzz_${target} PRIVATE quorlax_core)
  target_include_directories(fuzz_${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
endforeach()
