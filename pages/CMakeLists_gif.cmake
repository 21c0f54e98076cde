# The GIF frame splitter (portable, both builds) and the animated picture control (Windows).
# Included from pages/CMakeLists.txt.
add_library(cv_gif_core STATIC ${CMAKE_CURRENT_LIST_DIR}/gif_frames.cpp)

if(CV_WIN)
  add_library(cv_picture_ex STATIC ${CMAKE_CURRENT_LIST_DIR}/picture_ex_win.cpp)
  target_link_libraries(cv_picture_ex PUBLIC cv_gif_core cv_framework ole32 oleaut32 uuid gdi32 user32)
endif()
