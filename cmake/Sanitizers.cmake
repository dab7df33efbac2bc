# VARNIK_SANITIZE is a list such as "address;undefined" or "thread".
if(VARNIK_SANITIZE)
  list(JOIN VARNIK_SANITIZE "," _varnik_san)
  add_compile_options(-fsanitize=${_varnik_san} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_varnik_san})
endif()
