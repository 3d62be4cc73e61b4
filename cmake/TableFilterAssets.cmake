# Builds the table-filter library's distributed script and stylesheet into velmorant_core,
# so a written catalogue page carries them inline and nothing is read at run time.
# The package itself is installed by scripts/setup.sh (npm ci in third_party/tablefilter).
include_guard(GLOBAL)

set(VELMORANT_TABLEFILTER_DIR ${PROJECT_SOURCE_DIR}/third_party/tablefilter)
set(VELMORANT_TABLEFILTER_DIST ${VELMORANT_TABLEFILTER_DIR}/node_modules/tablefilter/dist/tablefilter)

find_program(VELMORANT_NODE NAMES node nodejs)
if(NOT VELMORANT_NODE)
  message(FATAL_ERROR "node is needed to embed the table-filter script; run scripts/setup.sh")
endif()
if(NOT EXISTS ${VELMORANT_TABLEFILTER_DIST}/tablefilter.js)
  message(FATAL_ERROR "${VELMORANT_TABLEFILTER_DIST} is missing; run scripts/setup.sh")
endif()

file(GLOB VELMORANT_TABLEFILTER_INPUTS CONFIGURE_DEPENDS
  ${VELMORANT_TABLEFILTER_DIST}/*.js ${VELMORANT_TABLEFILTER_DIST}/style/tablefilter.css
  ${VELMORANT_TABLEFILTER_DIST}/style/themes/*.png ${VELMORANT_TABLEFILTER_DIST}/style/themes/*.gif)
set(VELMORANT_TABLEFILTER_SOURCE ${CMAKE_CURRENT_BINARY_DIR}/generated/catalogue/TableFilterScript.cpp)

add_custom_command(
  OUTPUT ${VELMORANT_TABLEFILTER_SOURCE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/generated/catalogue
  COMMAND ${VELMORANT_NODE} ${VELMORANT_TABLEFILTER_DIR}/embed.mjs ${VELMORANT_TABLEFILTER_DIST}
          ${VELMORANT_TABLEFILTER_DIR}/adapter.js ${VELMORANT_TABLEFILTER_SOURCE}
  DEPENDS ${VELMORANT_TABLEFILTER_DIR}/embed.mjs ${VELMORANT_TABLEFILTER_DIR}/adapter.js
          ${VELMORANT_TABLEFILTER_DIR}/package-lock.json ${VELMORANT_TABLEFILTER_DIST}/../../LICENSE
          ${VELMORANT_TABLEFILTER_INPUTS}
  COMMENT "Embedding the table-filter script"
  VERBATIM)

target_sources(velmorant_core PRIVATE ${VELMORANT_TABLEFILTER_SOURCE})
