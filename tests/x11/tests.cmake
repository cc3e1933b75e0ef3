# End-to-end tests on a real X server: each script starts its own Xvfb (and
# openbox), runs a copy of the game and drives it with XTEST key presses and
# clicks. A missing tool fails them.
qv_display_tests(x11 kana-keyboard window-manager failed-save session-end)
