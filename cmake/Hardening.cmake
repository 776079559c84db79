# The hardening Debian builds its packages with (dpkg-buildflags with hardening=+all): stack
# protector, format checks, fortified library calls, PIE, and a read-only, bound-at-start
# relocation table (relro, now).
add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security
  $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
include(CheckPIESupported)
check_pie_supported()
add_link_options(-Wl,-z,relro -Wl,-z,now)
