# The layers of src/, from the ground up. A folder includes and links only folders of its own
# layer or lower ones; within a layer a library links only those listed before it, so no two
# libraries link each other. The pages sit side by side: none includes or links another.
set(FOLIOSCOPE_PAGES folderview thumbs filelists snapshot viewer sitecheck)
string(REPLACE ";" " " fs_page_row "${FOLIOSCOPE_PAGES}")
set(FOLIOSCOPE_LAYERS
    "platform platformui kit"
    "engine formatter editor scan linkcheck imaging replace"
    "frame"
    "${fs_page_row}"
    "app batch")
# What a page may still take from another page: "<page>/<file>><page>/<header>".
set(FOLIOSCOPE_PAGE_EXCEPTIONS "sitecheck/sitecheckpage.cpp>viewer/viewerwindow.h")

# Every library below the pages is in one of these two lists. Libraries without windows: they
# and all they link stay clear of Qt Widgets (the batch tool is one too, though above them).
set(FOLIOSCOPE_WINDOW_FREE fs_platform fs_formatter fs_editor fs_scan fs_linkcheck fs_imaging
    fs_replace fs_frame fs_batch)
# Widget libraries below the pages, shared by them.
set(FOLIOSCOPE_WIDGET_LIBS fs_platformui fs_kit fs_engine fs_frame_widgets)

# Sets <out_layer> and <out_rank> (the position over all layers) of a folder; -1 if unknown.
function(fs_layer_of folder out_layer out_rank)
    set(layer 0)
    set(rank 0)
    foreach(row IN LISTS FOLIOSCOPE_LAYERS)
        string(REPLACE " " ";" names "${row}")
        foreach(name IN LISTS names)
            if(name STREQUAL folder)
                set(${out_layer} ${layer} PARENT_SCOPE)
                set(${out_rank} ${rank} PARENT_SCOPE)
                return()
            endif()
            math(EXPR rank "${rank} + 1")
        endforeach()
        math(EXPR layer "${layer} + 1")
    endforeach()
    set(${out_layer} -1 PARENT_SCOPE)
    set(${out_rank} -1 PARENT_SCOPE)
endfunction()

# True in <out> when the folder <from> may not reach <to> though the layers allow it: both are
# pages and FOLIOSCOPE_PAGE_EXCEPTIONS names no include from one to the other. <file> and
# <header> (paths under src/) narrow the exception to one include; empty for a link.
function(fs_page_reach_forbidden from to file header out)
    set(${out} FALSE PARENT_SCOPE)
    if(from STREQUAL to OR NOT from IN_LIST FOLIOSCOPE_PAGES OR NOT to IN_LIST FOLIOSCOPE_PAGES)
        return()
    endif()
    foreach(exception IN LISTS FOLIOSCOPE_PAGE_EXCEPTIONS)
        string(REGEX REPLACE "^([^/]+)/([^>]+)>([^/]+)/(.+)$" "\\1;\\2;\\3;\\4" parts "${exception}")
        list(GET parts 0 allowed_from)
        list(GET parts 2 allowed_to)
        if(allowed_from STREQUAL from AND allowed_to STREQUAL to
            AND (file STREQUAL "" OR "${file}>${header}" STREQUAL exception))
            return()
        endif()
    endforeach()
    set(${out} TRUE PARENT_SCOPE)
endfunction()

# The folder under src/ that defines a target, or "" for targets from elsewhere.
function(fs_folder_of target out)
    set(${out} "" PARENT_SCOPE)
    if(NOT TARGET ${target})
        return()
    endif()
    get_target_property(dir ${target} SOURCE_DIR)
    string(FIND "${dir}" "${PROJECT_SOURCE_DIR}/src/" at)
    if(at EQUAL 0)
        get_filename_component(folder "${dir}" NAME)
        set(${out} ${folder} PARENT_SCOPE)
    endif()
endfunction()

# Every library of src/ links only downward, and no page links another page.
function(fs_check_links_go_down folder targets)
    fs_layer_of(${folder} layer rank)
    foreach(target IN LISTS targets)
        get_target_property(links ${target} LINK_LIBRARIES)
        foreach(link IN LISTS links)
            fs_folder_of("${link}" other)
            if(other STREQUAL "" OR other STREQUAL folder)
                continue()
            endif()
            fs_layer_of(${other} other_layer other_rank)
            fs_page_reach_forbidden(${folder} ${other} "" "" sideways)
            if(sideways)
                message(FATAL_ERROR "${target} (page src/${folder}) links ${link} (page src/${other})")
            endif()
            if(other_layer GREATER layer OR (other_layer EQUAL layer AND other_rank GREATER rank))
                message(FATAL_ERROR "${target} (src/${folder}) links ${link} (src/${other}), "
                    "which is not below it")
            endif()
        endforeach()
    endforeach()
endfunction()

# Every library below the pages is either window-free or a widget library, and says which.
function(fs_check_library_kinds libraries)
    list(GET FOLIOSCOPE_PAGES 0 first_page)
    fs_layer_of(${first_page} page_layer page_rank)
    foreach(name IN LISTS FOLIOSCOPE_WINDOW_FREE FOLIOSCOPE_WIDGET_LIBS)
        if(NOT name IN_LIST libraries)
            message(FATAL_ERROR "cmake/layers.cmake names ${name}, which is no library of src/")
        endif()
    endforeach()
    foreach(target IN LISTS libraries)
        fs_folder_of(${target} folder)
        fs_layer_of(${folder} layer rank)
        if(target IN_LIST FOLIOSCOPE_WINDOW_FREE AND target IN_LIST FOLIOSCOPE_WIDGET_LIBS)
            message(FATAL_ERROR "${target} is listed both as window-free and as a widget library")
        endif()
        if(layer LESS page_layer AND NOT target IN_LIST FOLIOSCOPE_WINDOW_FREE
            AND NOT target IN_LIST FOLIOSCOPE_WIDGET_LIBS)
            message(FATAL_ERROR "${target} (src/${folder}) is below the pages but neither in "
                "FOLIOSCOPE_WINDOW_FREE nor in FOLIOSCOPE_WIDGET_LIBS (cmake/layers.cmake)")
        endif()
    endforeach()
endfunction()

# The targets <target> links, directly and through every library it links in turn.
function(fs_links_of target out)
    set(pending ${target})
    set(seen "")
    while(pending)
        list(POP_FRONT pending current)
        if(current IN_LIST seen OR NOT TARGET ${current})
            continue()
        endif()
        list(APPEND seen ${current})
        get_target_property(links ${current} INTERFACE_LINK_LIBRARIES)
        get_target_property(type ${current} TYPE)
        if(NOT type STREQUAL "INTERFACE_LIBRARY")
            get_target_property(direct ${current} LINK_LIBRARIES)
            list(APPEND links ${direct})
        endif()
        foreach(link IN LISTS links)
            # A static library's private links reach its users as $<LINK_ONLY:...>.
            string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
            if(link AND NOT link MATCHES "NOTFOUND$" AND NOT link MATCHES "^\\$<")
                list(APPEND pending ${link})
            endif()
        endforeach()
    endwhile()
    list(REMOVE_ITEM seen ${target})
    set(${out} ${seen} PARENT_SCOPE)
endfunction()

# The window-free libraries never reach Qt Widgets, however far down the link is.
function(fs_check_window_free)
    foreach(target IN LISTS FOLIOSCOPE_WINDOW_FREE)
        fs_links_of(${target} reached)
        foreach(link IN LISTS reached)
            if(link MATCHES "^Qt6?::[A-Za-z]*Widgets$")
                message(FATAL_ERROR "${target} has no windows but reaches ${link}")
            endif()
        endforeach()
    endforeach()
endfunction()

function(fs_check_layers)
    get_property(folders DIRECTORY ${PROJECT_SOURCE_DIR}/src PROPERTY SUBDIRECTORIES)
    set(libraries "")
    foreach(dir IN LISTS folders)
        get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
        get_filename_component(folder "${dir}" NAME)
        fs_layer_of(${folder} layer rank)
        if(layer EQUAL -1)
            message(FATAL_ERROR "src/${folder} has no layer in cmake/layers.cmake")
        endif()
        fs_check_links_go_down(${folder} "${targets}")
        foreach(target IN LISTS targets)
            get_target_property(type ${target} TYPE)
            if(type MATCHES "_LIBRARY$")
                list(APPEND libraries ${target})
            endif()
        endforeach()
    endforeach()
    fs_check_library_kinds("${libraries}")
    fs_check_window_free()
endfunction()
