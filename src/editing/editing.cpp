#include "editing.h"

#include "mainwindow/appcontext.h"

void addAlbum(AppContext&) {}
void toggleAddAsNew(AppContext& ctx) { ctx.addAsNew = !ctx.addAsNew; }
void addArtist(AppContext&) {}
void deleteAlbum(AppContext&) {}
void deleteArtist(AppContext&) {}
void SetNewsStatus(AppContext&, bool) {}
void clearAllNews(AppContext&) {}
void changeDatabaseName(AppContext&) {}
void changeContactEmail(AppContext&) {}
