# The picture tests decode PNG files.
find_package(PNG REQUIRED)
target_link_libraries(${target} PRIVATE PNG::PNG)
