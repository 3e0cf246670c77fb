# What the picture commands of the builder call: the import dialog and the
# copying into the libraries.
target_link_libraries(zorvane_app PUBLIC zorvane_import)
