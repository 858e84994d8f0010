# Wine maps the Unix root to drive Z:.
function(tolvane_winpath out unix_path)
  string(REPLACE "/" "\\" p "${unix_path}")
  set(${out} "Z:${p}" PARENT_SCOPE)
endfunction()
