# A maker's round: KEYGEN makes a key (and refuses to make it again over the same file), SIGNER signs a
# release with it and writes a signed page, and VERIFIER finds the signed pages verified with that key
# and not with another.
# Each tool is a command list, so a run can mix the native tool and the Windows one under Wine:
#   cmake -DKEYGEN=stickwell-page "-DSIGNER=wine;stickwell-page.exe" -DVERIFIER=stickwell-page
#         -DPAGE=update-usual.html -DOTHER_KEY=BASE64 -DWORK=empty-folder -P SignAndVerify.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# Runs a tool in WORK (relative names, so that a path means the same under Wine) and keeps its stdout.
function(run expected_status result)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE status OUTPUT_VARIABLE out
                  ERROR_VARIABLE err)
  if(NOT status STREQUAL expected_status)
    message(FATAL_ERROR "${ARGN}: exit status ${status}, expected ${expected_status}; stderr: ${err}")
  endif()
  set(${result} "${out}" PARENT_SCOPE)
endfunction()

run(0 public_key ${KEYGEN} keygen release.key)
if(NOT public_key MATCHES "^B[A-Za-z0-9+/]+=\n$")
  message(FATAL_ERROR "keygen printed [${public_key}], not a public key line")
endif()
string(STRIP "${public_key}" public_key)
file(READ "${WORK}/release.key" key_text)
run(2 ignored ${KEYGEN} keygen release.key)
file(READ "${WORK}/release.key" key_text_after)
if(NOT key_text STREQUAL key_text_after)
  message(FATAL_ERROR "a second keygen changed the existing key file")
endif()

file(WRITE "${WORK}/Stickwell.exe" "MZ note")
file(WRITE "${WORK}/Renewick.exe" "MZ updater")
run(0 paragraph ${SIGNER} sign --key release.key --version 13.04.21 Stickwell.exe Renewick.exe)
if(NOT paragraph MATCHES "^<p>Stickwell-Signed:[A-Za-z0-9+/=]+</p>\n$")
  message(FATAL_ERROR "sign printed [${paragraph}], not one paragraph")
endif()
file(READ "${PAGE}" page)
file(WRITE "${WORK}/signed.html" "${page}${paragraph}")

run(0 report ${VERIFIER} --json --public-key ${public_key} signed.html)
if(NOT report MATCHES "\"signature\": \"verified\", \"sameVersion\": true, \"sameNames\": true")
  message(FATAL_ERROR "the signed page does not verify with its own key: ${report}")
endif()
run(0 report ${VERIFIER} --json --public-key ${OTHER_KEY} signed.html)
if(NOT report MATCHES "\"signature\": \"bad\"")
  message(FATAL_ERROR "the signed page verifies with another key: ${report}")
endif()

# The whole page from its parts, signed over the files in the folder, reads back as given.
file(WRITE "${WORK}/changes.txt" "﻿1. 修复 <Ctrl+↑> & \"引号\"\r\n2. 新增字体颜色\n")
run(0 page ${SIGNER} page --version 13.04.21 --changes changes.txt --file Stickwell.exe=http://x/1?a=1&b=2
    --file Renewick.exe=http://x/2 --push 关 --full http://x/full --key release.key --dir .)
file(WRITE "${WORK}/page.html" "${page}")
run(0 report ${VERIFIER} --json --public-key ${public_key} page.html)
string(CONCAT read_back "^{\"version\": \"13.04.21\", \"newer\": true, \"changeLog\": \"更新日志\\\\r\\\\n1. 修复 <Ctrl\\+↑> & \\\\\"引号\\\\\"\\\\r\\\\n2. 新增字体颜色\", "
       ".*\"share\": \"http://x/1\\?a=1&b=2\"}.*\"pushOn\": false, .*"
       "\"signature\": \"verified\", \"sameVersion\": true, \"sameNames\": true}}\n$")
if(NOT report MATCHES "${read_back}")
  message(FATAL_ERROR "the page that page wrote does not read back as given:\n${page}\n${report}")
endif()
