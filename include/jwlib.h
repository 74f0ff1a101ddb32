/*
 * jwlib.h - C interface of the JWLIB business-directory library.
 *
 * JWLIB presents the entries of a business directory to a host program: which navigation buttons
 * an entry has and what they are called, HTML pages of an entry built from the host's templates, a
 * viewer window, a thumbnail of that window and the template's pictures as JPEG files. Everything
 * is read from three data files ("JWDAT.SRM", "JWIMG.SRM", "JWTMP.SRM") in one data directory.
 *
 * Conventions for every function below:
 *  - Texts are zero-terminated, single-byte Windows-1252. A null text argument counts as "".
 *  - Flags (uint8_t) are 0 = false, any other value = true.
 *  - An entry is named by its unsigned 32-bit identifier, passed by value.
 *  - Every call is one complete transaction on one version of the files: it resolves the data
 *    directory and the template directory once, at its start, and reads everything relative to
 *    them, so a directory swapped behind a link mid-call is not mixed into its answer. Data files
 *    stay open between calls and what was decoded from them (entries, pictures, parsed templates)
 *    is kept in memory, and so are finished HTML pages (under the request and the values of the
 *    request parameters the page read: a parameter no template reads does not make a page new).
 *    Each call checks every file it uses once, by identity (device, file number, size,
 *    modification time), so a file replaced, rewritten, renamed over, removed or put back between
 *    two calls is seen at the next call. (On Windows the data files are closed at the
 *    end of every call, so that they can be replaced.) Calls from several threads are serialised
 *    by one library-wide lock.
 *  - No C++ exception ever leaves the library. A call that fails returns the failure value
 *    documented for it, and the failure's message becomes the calling thread's last error
 *    (JW_GetLastError). Every call except JW_GetLastError clears the last error on entry, so it
 *    reads "" after a call that succeeded.
 *  - Failures that a call absorbs (button captions, button set, HTML text) are also appended as one
 *    dated line to a log file named after the host executable with the extension ".log", in the
 *    process's current directory. When that line cannot be written, the log failure is passed on
 *    instead: caption calls return 0, JW_GetButtonSet "", JW_GetHTMLText null.
 *  - Memory handed to the host (version text, memory streams) comes from the library's allocator:
 *    the host's routines once JW_SetMemoryManager installed them, the C heap otherwise. Release it
 *    with JW_FreeMem / JW_FreeMemoryStream, or with your own FreeMem routine if you installed one.
 *
 * Typical order of calls: JW_SetMemoryManager (optional, before anything else), JW_SetJWDataPath,
 * then any other function, in any order, as often as wanted.
 */
#ifndef JWLIB_H
#define JWLIB_H

#include <stdint.h>

/* Calling convention of every export and every callback: the standard one of system DLLs on 32-bit
 * Windows, the platform's default everywhere else. */
#if defined(_WIN32) && !defined(_WIN64)
#define JWAPI __stdcall
#else
#define JWAPI
#endif

#if defined(_WIN32)
#if defined(JWLIB_BUILDING)
#define JWLIB_EXPORT __declspec(dllexport)
#else
#define JWLIB_EXPORT __declspec(dllimport)
#endif
#elif defined(__GNUC__)
#define JWLIB_EXPORT __attribute__((visibility("default")))
#else
#define JWLIB_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---------------------------------------------------------------------------------------------
 * Objects crossing the boundary
 * ------------------------------------------------------------------------------------------- */

/* A block of bytes handed to the host (an HTML page, a JPEG picture). The structure and Memory are
 * both allocated with the library's allocator; Memory is never null (at least one byte is
 * allocated even for Size 0). Position equals Size when the stream is handed out. The host owns
 * the stream: release it with JW_FreeMemoryStream, or with its own FreeMem (Memory first, then the
 * structure) when it installed its routines. */
typedef struct JWMemoryStream {
  uint8_t* Memory;
  int32_t Size;
  int32_t Position;
} JWMemoryStream;

/* The host's list that JW_GetTemplateImages fills. Add is called once per item with the host's
 * Context, the item's name (valid for as long as the library stays loaded) and a stream that from
 * then on belongs to the host. The library reads nothing from the list. */
typedef struct JWHostList {
  void* Context;
  void(JWAPI* Add)(void* Context, const char* Name, JWMemoryStream* Stream);
} JWHostList;

/* The host's bitmap that JW_GetMiniaturBitmap draws into. The library reads the width and height,
 * sets the width, then the height, and calls Draw once with the picture already stretched to the
 * new size: Width x Height pixels, Stride bytes per row, 32 bits per pixel in the byte order
 * B, G, R, A with A = 255, top row first. Pixels are valid only during the call. */
typedef struct JWHostBitmap {
  void* Context;
  int32_t(JWAPI* GetWidth)(void* Context);
  int32_t(JWAPI* GetHeight)(void* Context);
  void(JWAPI* SetWidth)(void* Context, int32_t Width);
  void(JWAPI* SetHeight)(void* Context, int32_t Height);
  void(JWAPI* Draw)(void* Context, const uint8_t* Pixels, int32_t Width, int32_t Height,
                    int32_t Stride);
} JWHostBitmap;

/* A length-prefixed text of room 255 (Length bytes of Text are valid; no terminating zero). */
typedef struct JWShortString255 {
  uint8_t Length;
  char Text[255];
} JWShortString255;

/* The entry's texts handed to the host when the user presses the viewer's location button. Longer
 * texts are cut to 255 bytes. */
typedef struct JWPointOfPlaceRec {
  JWShortString255 Id;
  JWShortString255 ExtraText1;
  JWShortString255 Code5;
  JWShortString255 Code6;
  JWShortString255 ExtraText2;
  JWShortString255 NamePart1;
  JWShortString255 NamePart6;
  JWShortString255 NamePart7;
  JWShortString255 NamePart2;
  JWShortString255 NamePart4;
  JWShortString255 NamePart5;
  JWShortString255 NameFormat;
  JWShortString255 ExtraText3;
  JWShortString255 NamePart3;
  JWShortString255 Slogan;
  JWShortString255 Street;
  JWShortString255 StreetNo;
  JWShortString255 StreetAdd;
  JWShortString255 Zip;
  JWShortString255 City;
  JWShortString255 PhonePrefix;
  JWShortString255 PhoneNumber;
  JWShortString255 FaxPrefix;
  JWShortString255 FaxNumber;
  JWShortString255 MobilePrefix;
  JWShortString255 MobileNumber;
  JWShortString255 EMail;
  JWShortString255 Url;
  JWShortString255 PortalPage;
  JWShortString255 PosX;
  JWShortString255 PosY;
} JWPointOfPlaceRec;

/* The host's memory routines. GetMem returns a block of Size bytes (or null), FreeMem releases one
 * and returns 0 on success, ReallocMem resizes one. */
typedef void*(JWAPI* JWGetMemFunc)(int32_t Size);
typedef int32_t(JWAPI* JWFreeMemFunc)(void* P);
typedef void*(JWAPI* JWReallocMemFunc)(void* P, int32_t Size);

/* Routines the viewer window calls on the host's user-interface thread, without the library lock
 * held. Every one of them is optional (null = never called). */

/* The user pressed the location button; Rec is valid only during the call. */
typedef void(JWAPI* JWPointOfPlaceFunc)(const JWPointOfPlaceRec* Rec);
/* The branch list sorts by distance: the host may update the start position (decimal degrees).
 * ParentWindow is the native id of the branch page's window. */
typedef void(JWAPI* JWGetStartPositionFunc)(double* East, double* North, uintptr_t ParentWindow);
/* The branch search asks for an address's position (decimal degrees); non-zero = found. */
typedef uint8_t(JWAPI* JWLocateAddressFunc)(const char* Street, const char* Zip, const char* Town,
                                            double* East, double* North);

/* ---------------------------------------------------------------------------------------------
 * Exports, in ordinal order
 * ------------------------------------------------------------------------------------------- */

/* 1. Installs the host's memory routines as the library's allocator for everything it hands out
 * from now on. Call it before any other function. When AGetMem or AFreeMem is null the library
 * goes back to its own allocator. Blocks handed out earlier are still released by the allocator
 * they came from when they go back through JW_FreeMem / JW_FreeMemoryStream. Takes no lock;
 * cannot fail. */
JWLIB_EXPORT void JWAPI JW_SetMemoryManager(JWGetMemFunc AGetMem, JWFreeMemFunc AFreeMem,
                                            JWReallocMemFunc AReallocMem);

/* 2. Hands the template's pictures and the entry's logo to AList as JPEG memory streams, one Add
 * call per picture. ATemplateId 0 means the entry's own template.
 * Returns 1 when done; 0 on failure (see JW_GetLastError). */
JWLIB_EXPORT uint8_t JWAPI JW_GetTemplateImages(uint32_t AEntryId, uint32_t ATemplateId,
                                                JWHostList* AList);

/* 3. Builds page APageIndex (a button position, see JW_ButtonCaption) of the entry as HTML text
 * from the page templates in AIncludePath; AParams is the query string of the request ("name=value"
 * pairs joined by "&"). Returns a new memory stream owned by the caller. On failure the failure is
 * logged and the result is null, or the stream with what was written so far. */
JWLIB_EXPORT JWMemoryStream* JWAPI JW_GetHTMLText(uint32_t AEntryId, const char* AIncludePath,
                                                  uint32_t APageIndex, const char* AParams,
                                                  uint8_t AShowLocation, uint8_t AForceLocation);

/* 4. Opens the viewer window for the entry on the page of button position AStartIndex, modal when
 * AModal is non-zero (the call then returns when the window closes), else modeless. AReserved is
 * ignored. The three routines are optional; without AOnPointOfPlace, AForceLocation is ignored.
 * On failure the call returns early (see JW_GetLastError). */
JWLIB_EXPORT void JWAPI JW_ShowForm(uint32_t AEntryId, uint32_t AStartIndex, uint8_t AModal,
                                    uint32_t AReserved, uint8_t AForceLocation,
                                    JWPointOfPlaceFunc AOnPointOfPlace,
                                    JWGetStartPositionFunc AOnGetStartPosition,
                                    JWLocateAddressFunc AOnLocateAddress);

/* 5. Draws a thumbnail of the entry's viewer window into ABitmap (see JWHostBitmap).
 * Returns 1 when done; 0 on failure (see JW_GetLastError). */
JWLIB_EXPORT uint8_t JWAPI JW_GetMiniaturBitmap(uint32_t AEntryId, JWHostBitmap* ABitmap);

/* 6. The position (from 0, as decimal text) of the button named AButtonName ("brIndustries" ...
 * "brClose", compared case-insensitively) in the text of JW_GetButtonSet for the same arguments.
 * Returns "0" when the name is not in the set or anything fails. The text belongs to the library
 * and stays valid until the same thread calls JW_Button2Index again. */
JWLIB_EXPORT const char* JWAPI JW_Button2Index(uint32_t AEntryId, const char* AButtonName,
                                               uint8_t AShowLocation, uint8_t AForceLocation);

/* 7. The names of the entry's buttons in display order, joined by "|", the close button last, e.g.
 * "brIndustries|brSearchwords|brClose". AShowLocation lets the location button ("brPointOfPlace")
 * appear when the entry has a usable position; AForceLocation makes it appear always.
 * Returns "" when the entry cannot be loaded (logged). The text belongs to the library and stays
 * valid until the same thread calls JW_GetButtonSet again. */
JWLIB_EXPORT const char* JWAPI JW_GetButtonSet(uint32_t AEntryId, uint8_t AShowLocation,
                                               uint8_t AForceLocation);

/* 8. Writes the captions of the entry's content buttons (without the close button), joined by "|",
 * into ABuffer: the whole buffer is zeroed first, then at most ABufSize - 1 bytes of the text and a
 * terminating zero are written. Returns the bytes written including the zero (a text that does not
 * fit is cut). ABufSize < 1 (or a null ABuffer) writes nothing and returns 0. When the entry cannot
 * be loaded the text is "" (logged). */
JWLIB_EXPORT int32_t JWAPI JW_ButtonCaptions(uint32_t AEntryId, uint8_t AShowLocation,
                                             uint8_t AForceLocation, char* ABuffer,
                                             int32_t ABufSize);

/* 9. Writes the caption of the content button at position AIndex into ABuffer, like
 * JW_ButtonCaptions. A position beyond the entry's content buttons gives the first button's
 * caption ("Branchen"); so does an entry that cannot be loaded (logged). Returns the bytes written
 * including the zero; ABufSize < 1 (or a null ABuffer) writes nothing and returns 0. */
JWLIB_EXPORT int32_t JWAPI JW_ButtonCaption(uint32_t AEntryId, uint32_t AIndex,
                                            uint8_t AShowLocation, uint8_t AForceLocation,
                                            char* ABuffer, int32_t ABufSize);

/* 10. The number of the entry's content buttons (the close button not counted).
 * Returns -1 on failure, e.g. a missing data file or entry (see JW_GetLastError). */
JWLIB_EXPORT int32_t JWAPI JW_ButtonCount(uint32_t AEntryId, uint8_t AShowLocation,
                                          uint8_t AForceLocation);

/* 11. Sets the data directory, the key under which the viewer window keeps its placement and the
 * host's main window. A path that does not end in a directory separator gets one appended.
 * AHostApp is the native window id of the host's main window, made the transient parent of the
 * library's windows; 0 keeps the current one. ASettingsKey may be null (no placement is kept).
 * Returns 1 when the path was accepted; 0 when it is empty or only blanks and control characters
 * (the data path is then that text, the settings key stays as it was, and the data files are that
 * text directly followed by the file name, e.g. "   JWDAT.SRM" in the current directory).
 * The data path, the settings key and the host window are one setting for the whole process, not
 * for the calling thread: two threads that set two paths share whichever was set last, so a host
 * serving several data directories must serialise setting the path and the calls that use it.
 * Data files are not opened and closed on every call: see the conventions above for what a call
 * sees of files changed between calls. */
JWLIB_EXPORT uint8_t JWAPI JW_SetJWDataPath(const char* ADataPath, const char* ASettingsKey,
                                            uintptr_t AHostApp);

/* 12. The library's version text in a new block from the library's allocator, owned by the
 * caller (release it with JW_FreeMem or the host's FreeMem). Returns null only when the allocator
 * fails. */
JWLIB_EXPORT char* JWAPI JW_GetDLLVersion(void);

/* 13. The message of the last failure of the calling thread's previous call into the library, or
 * "" when it succeeded. The text belongs to the library and stays valid until the thread's next
 * call into it. */
JWLIB_EXPORT const char* JWAPI JW_GetLastError(void);

/* 14. Releases a memory stream handed out by the library: its bytes, then the structure, each with
 * the allocator it came from. Null is ignored. */
JWLIB_EXPORT void JWAPI JW_FreeMemoryStream(JWMemoryStream* AStream);

/* 15. Releases a block handed out by the library (e.g. the version text) with the allocator it came
 * from. While host routines are installed, a block of the host's own is released with its FreeMem;
 * any other pointer, and null, is ignored. */
JWLIB_EXPORT void JWAPI JW_FreeMem(void* P);

/* 16. Processes the pending window events of the library's windows once, for hosts that run no Qt
 * event loop of their own. Call it from the thread that opened the windows. */
JWLIB_EXPORT void JWAPI JW_ProcessMessages(void);

#ifdef __cplusplus
}
#endif

#endif /* JWLIB_H */
