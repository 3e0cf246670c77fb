# What the delivery commands, the options and the about box call.
target_link_libraries(zorvane_app PUBLIC zorvane_delivery zorvane_dialogs zorvane_msgbox)
