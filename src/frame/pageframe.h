#pragma once

#include "frame/configuration.h"
#include "frame/editedfile.h"
#include "frame/entrycommands.h"
#include "frame/folderplace.h"
#include "frame/pagecontrol.h"
#include "frame/progress.h"
#include "frame/selection.h"
#include "frame/statusline.h"
#include "frame/viewerhost.h"
#include "frame/views.h"

namespace frame {

// The whole frame that hosts the pages: every small interface above, which the main window
// implements and tests stand in for. A page names only the interfaces it uses; the viewer
// window, which the frame lends to the pages, takes the whole. The selection queries answer
// for the active page, whichever page asks.
class PageFrame : public folderview::SelectionQueries,
                  public StatusLine,
                  public PageControl,
                  public Progress,
                  public EntryCommands,
                  public Views,
                  public EditedFile,
                  public Configuration,
                  public FolderPlace,
                  public ViewerHost
{
};

} // namespace frame
