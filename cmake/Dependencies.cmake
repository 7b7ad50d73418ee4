# SQLite (and, for the update check, jsoncpp): Debian's packages natively;
# built from Debian's source packages for Windows (tools/fetch-windows-deps.sh
# puts them under ZR_DEPS_DIR).

if(WIN32)
  set(ZR_DEPS_DIR "${PROJECT_SOURCE_DIR}/build/deps" CACHE PATH "Sources of the Windows build's libraries")
  if(NOT EXISTS "${ZR_DEPS_DIR}/sqlite/sqlite3.c")
    execute_process(COMMAND "${PROJECT_SOURCE_DIR}/tools/fetch-windows-deps.sh" "${ZR_DEPS_DIR}"
                    RESULT_VARIABLE fetched)
    if(NOT fetched EQUAL 0)
      message(FATAL_ERROR "Cannot prepare the Windows libraries in ${ZR_DEPS_DIR}")
    endif()
  endif()

  add_library(zr_sqlite3 STATIC "${ZR_DEPS_DIR}/sqlite/sqlite3.c")
  target_include_directories(zr_sqlite3 SYSTEM PUBLIC "${ZR_DEPS_DIR}/sqlite")
  target_compile_definitions(zr_sqlite3 PRIVATE SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION SQLITE_DQS=3)
  target_compile_options(zr_sqlite3 PRIVATE -w)

  set(jsoncpp_dir "${ZR_DEPS_DIR}/jsoncpp")
  add_library(zr_jsoncpp STATIC
    "${jsoncpp_dir}/src/lib_json/json_reader.cpp"
    "${jsoncpp_dir}/src/lib_json/json_value.cpp"
    "${jsoncpp_dir}/src/lib_json/json_writer.cpp")
  target_include_directories(zr_jsoncpp SYSTEM PUBLIC "${jsoncpp_dir}/include")
  target_include_directories(zr_jsoncpp PRIVATE "${jsoncpp_dir}/src/lib_json")
  target_compile_options(zr_jsoncpp PRIVATE -w)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SQLITE3 REQUIRED IMPORTED_TARGET sqlite3)
  add_library(zr_sqlite3 INTERFACE)
  target_link_libraries(zr_sqlite3 INTERFACE PkgConfig::SQLITE3)
  pkg_check_modules(JSONCPP REQUIRED IMPORTED_TARGET jsoncpp)
  add_library(zr_jsoncpp INTERFACE)
  target_link_libraries(zr_jsoncpp INTERFACE PkgConfig::JSONCPP)
endif()
