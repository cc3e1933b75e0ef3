# End-to-end tests on a real Wayland compositor: weston nested in a private
# Xvfb (tests/x11/xsession.sh --weston), the game as its client, natively or
# through XWayland. A missing tool fails them.
qv_display_tests(wayland native-road xwayland-session xcb-without-x)
