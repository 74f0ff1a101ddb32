/* A plain C host driving every export on the sample, writing what it got to OUT_FILE (thumbnails to
 * OUT_FILE-<entry>.bmp): libjwlib.so by name must write what jwlib.dll (by ordinal, __stdcall)
 * does; scripts/test-windows.sh compares them. On Windows it also checks the stack pointer (32-bit)
 * and that a modal viewer window disables the host's window while other threads' calls are served.
 *   jwwinhost LIBRARY DATA_DIR TEMPLATE_DIR OUT_FILE   (exit 0: every check passed)
 *   jwwinhost --bench LIBRARY DATA_DIR: the time of a thumbnail (on Windows also of the first page)
 *   jwwinhost --smoke LIBRARY DATA_DIR SHOT.bmp: a modal window to click on (Windows, a display) */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "jwlib.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <time.h>
#endif

/* Two sample entries (a template of its own; branch offices), then a missing one. */
static const uint32_t Entries[] = {1006, 2001, 999999};
#define ENTRY_COUNT 2

static struct {
  void(JWAPI* SetMemoryManager)(JWGetMemFunc, JWFreeMemFunc, JWReallocMemFunc);
  uint8_t(JWAPI* GetTemplateImages)(uint32_t, uint32_t, JWHostList*);
  JWMemoryStream*(JWAPI* GetHTMLText)(uint32_t, const char*, uint32_t, const char*, uint8_t,
                                      uint8_t);
  void(JWAPI* ShowForm)(uint32_t, uint32_t, uint8_t, uint32_t, uint8_t, JWPointOfPlaceFunc,
                        JWGetStartPositionFunc, JWLocateAddressFunc);
  uint8_t(JWAPI* GetMiniaturBitmap)(uint32_t, JWHostBitmap*);
  const char*(JWAPI* Button2Index)(uint32_t, const char*, uint8_t, uint8_t);
  const char*(JWAPI* GetButtonSet)(uint32_t, uint8_t, uint8_t);
  int32_t(JWAPI* ButtonCaptions)(uint32_t, uint8_t, uint8_t, char*, int32_t);
  int32_t(JWAPI* ButtonCaption)(uint32_t, uint32_t, uint8_t, uint8_t, char*, int32_t);
  int32_t(JWAPI* ButtonCount)(uint32_t, uint8_t, uint8_t);
  uint8_t(JWAPI* SetJWDataPath)(const char*, const char*, uintptr_t);
  char*(JWAPI* GetDLLVersion)(void);
  const char*(JWAPI* GetLastError)(void);
  void(JWAPI* FreeMemoryStream)(JWMemoryStream*);
  void(JWAPI* FreeMem)(void*);
  void(JWAPI* ProcessMessages)(void);
} Lib;

static int Failures = 0;
#define FAIL(AWhat) (fprintf(stderr, "FAIL: %s\n", AWhat), ++Failures)

static int Load(const char* APath) {
  void** slots = (void**)&Lib; /* in ordinal order: slot n - 1 holds the export of ordinal n */
#ifdef _WIN32
  HMODULE h = LoadLibraryA(APath);
  FARPROC f;
#define SYMBOL(n) \
  ((f = GetProcAddress(h, MAKEINTRESOURCEA(n))) ? memcpy(&slots[n - 1], &f, sizeof f) : NULL)
#else
  static const char* const names[16] = {
      "JW_SetMemoryManager",  "JW_GetTemplateImages", "JW_GetHTMLText",   "JW_ShowForm",
      "JW_GetMiniaturBitmap", "JW_Button2Index",      "JW_GetButtonSet",  "JW_ButtonCaptions",
      "JW_ButtonCaption",     "JW_ButtonCount",       "JW_SetJWDataPath", "JW_GetDLLVersion",
      "JW_GetLastError",      "JW_FreeMemoryStream",  "JW_FreeMem",       "JW_ProcessMessages"};
  void* h = dlopen(APath, RTLD_NOW | RTLD_LOCAL);
#define SYMBOL(n) (slots[n - 1] = dlsym(h, names[n - 1]))
#endif
  for (int n = 1; h && n <= 16; ++n)
    if (!SYMBOL(n)) return 0;
  return h != NULL;
}

/* The host's memory routines: counted, so that leaks and foreign releases show. */
static long Blocks = 0;

typedef struct HostBitmap {
  int32_t Width, Height;
  uint8_t* Pixels; /* 24-bit bottom-up rows, as a BMP file holds them */
  int Draws;
} HostBitmap;

/* clang-format off */
static void* JWAPI HostGetMem(int32_t ASize) { return ++Blocks, malloc((size_t)ASize); }
static int32_t JWAPI HostFreeMem(void* P) { return --Blocks, free(P), 0; }
static void* JWAPI HostReallocMem(void* P, int32_t ASize) { return realloc(P, (size_t)ASize); }
static int32_t JWAPI BitmapGetWidth(void* C) { return ((HostBitmap*)C)->Width; }
static int32_t JWAPI BitmapGetHeight(void* C) { return ((HostBitmap*)C)->Height; }
static void JWAPI BitmapSetWidth(void* C, int32_t W) { ((HostBitmap*)C)->Width = W; }
static void JWAPI BitmapSetHeight(void* C, int32_t H) { ((HostBitmap*)C)->Height = H; }
/* clang-format on */
static FILE* Out;

/* Width, height and components of a complete baseline JPEG (every segment walked up to the scan,
 * the end marker last), else 0. Of C1 to CF all but C4, C8 and CC start other kinds of frames. */
static int JpegFrame(const uint8_t* F, int32_t ASize, int* W, int* H, int* C) {
  int32_t i = 2, frame = 0, marker = 0;
  if (ASize < 4 || F[0] != 0xFF || F[1] != 0xD8) return 0;
  for (; marker != 0xDA && i + 4 <= ASize; i += 2 + (F[i + 2] << 8 | F[i + 3])) {
    marker = F[i + 1];
    if (F[i] != 0xFF || (marker > 0xC0 && marker <= 0xCF && marker % 4 != 0)) return 0;
    if (marker == 0xC0)
      *H = F[i + 5] << 8 | F[i + 6], *W = F[i + 7] << 8 | F[i + 8], *C = F[i + 9], frame = 1;
  }
  return frame && i < ASize && F[ASize - 2] == 0xFF && F[ASize - 1] == 0xD9;
}

static void JWAPI AddImage(void* AContext, const char* AName, JWMemoryStream* AStream) {
  int w = 0, h = 0, c = 0;
  const int ok = JpegFrame(AStream->Memory, AStream->Size, &w, &h, &c);
  (void)AContext;
  fprintf(Out, "  image \"%s\" jpeg=%d %dx%d components=%d position=%s\n", AName, ok, w, h, c,
          AStream->Position == AStream->Size ? "end" : "wrong");
  Lib.FreeMemoryStream(AStream);
}

static void DumpButtons(uint32_t AId, uint8_t AShow, uint8_t AForce) {
  char buf[512], set[512], *name;
  int32_t count = Lib.ButtonCount(AId, AShow, AForce);
  fprintf(Out, "entry %u flags %u %u: count %d", (unsigned)AId, AShow, AForce, (int)count);
  snprintf(set, sizeof set, "%s", Lib.GetButtonSet(AId, AShow, AForce));
  fprintf(Out, " error \"%s\"\n  set \"%s\"\n", count < 0 ? Lib.GetLastError() : "", set);
  /* Each call fills buf before fprintf reads it; the second one is cut to 6 bytes. */
  fprintf(Out, "  captions %d \"%s\"\n", (int)Lib.ButtonCaptions(AId, AShow, AForce, buf, 512),
          buf);
  fprintf(Out, "  captions(6) %d \"%s\"\n", (int)Lib.ButtonCaptions(AId, AShow, AForce, buf, 6),
          buf);
  for (int32_t i = 0; i <= (count > 0 ? count : 0); ++i)
    fprintf(Out, "  caption %d: %d \"%s\"\n", (int)i,
            (int)Lib.ButtonCaption(AId, (uint32_t)i, AShow, AForce, buf, sizeof buf), buf);
  for (name = strtok(set, "|"); name; name = strtok(NULL, "|"))
    fprintf(Out, "  index %s = %s\n", name, Lib.Button2Index(AId, name, AShow, AForce));
  fprintf(Out, "  index brNone = %s\n", Lib.Button2Index(AId, "brNone", AShow, AForce));
}

static void DumpPages(uint32_t AId, const char* ATemplates) {
  static const char* const params[] = {"", "BRANCHES_SORT=DIST&STARTX=410,5&STARTY=3056,7"};
  int32_t count = Lib.ButtonCount(AId, 1, 0);
  for (size_t p = 0; p < 2; ++p)
    for (int32_t page = 0; page <= count; ++page) {
      JWMemoryStream* s = Lib.GetHTMLText(AId, ATemplates, (uint32_t)page, params[p], 1, 0);
      fprintf(Out, "page %u %d \"%s\": %d bytes \"%s\"\n", (unsigned)AId, (int)page, params[p],
              s ? (int)s->Size : -1, s ? "" : Lib.GetLastError());
      if (s)
        fwrite(s->Memory, 1, (size_t)s->Size, Out), fprintf(Out, "\n"), Lib.FreeMemoryStream(s);
    }
}

#if defined(_WIN32) && defined(__i386__)
/* A wrong calling convention either way (the host's callbacks too) moves the stack pointer. */
static void CheckStack(void) {
  char buf[64];
  uintptr_t before, after;
  JWHostList list = {NULL, AddImage};
  FILE* saved = Out;
  Out = fopen("NUL", "wb");
  __asm__ volatile("movl %%esp, %0" : "=r"(before));
  for (int i = 0; i < 1000; ++i) {
    Lib.ButtonCaption(Entries[i % ENTRY_COUNT], (uint32_t)i % 3, 1, 0, buf, sizeof buf);
    Lib.ButtonCount(Entries[i % ENTRY_COUNT], 1, (uint8_t)(i & 1));
    Lib.FreeMem(Lib.GetDLLVersion());
    if (i % 100 == 0) Lib.GetTemplateImages(Entries[0], 0, &list);
  }
  __asm__ volatile("movl %%esp, %0" : "=r"(after));
  fclose(Out);
  Out = saved;
  if (before != after)
    fprintf(stderr, "stack pointer moved by %ld bytes\n", (long)(after - before)),
        FAIL("calling convention");
}
#endif

static void JWAPI BitmapDraw(void* C, const uint8_t* APixels, int32_t W, int32_t H, int32_t S) {
  HostBitmap* b = (HostBitmap*)C;
  const int32_t stride = (W * 3 + 3) / 4 * 4;
  free(b->Pixels);
  b->Pixels = (uint8_t*)calloc((size_t)stride, (size_t)H);
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x)
      memcpy(b->Pixels + (size_t)(H - 1 - y) * stride + x * 3, APixels + (size_t)y * S + x * 4, 3);
  ++b->Draws;
}

static JWHostBitmap HostOf(HostBitmap* B) {
  return (JWHostBitmap){B,         BitmapGetWidth, BitmapGetHeight, BitmapSetWidth, BitmapSetHeight,
                        BitmapDraw};
}

static void WriteBmp(const char* AName, const HostBitmap* B) {
  const uint32_t stride = ((uint32_t)B->Width * 3 + 3) / 4 * 4, size = stride * (uint32_t)B->Height;
  const uint32_t fields[13] = {54 + size,    0, 54,  40, (uint32_t)B->Width, (uint32_t)B->Height,
                               1 | 24 << 16, 0, size};
  uint8_t h[54] = {'B', 'M'};
  FILE* f = fopen(AName, "wb");
  if (!f) return;
  for (int i = 0; i < 52; ++i) h[2 + i] = (uint8_t)(fields[i / 4] >> (i % 4 * 8));
  fwrite(h, 1, sizeof h, f);
  fwrite(B->Pixels, 1, size, f);
  fclose(f);
}

/* A width of 1 asks for the window's own proportions: 705 x 460, nothing scaled. */
static void DumpThumbnails(const char* AOutFile) {
  char name[1024];
  for (size_t i = 0; i <= ENTRY_COUNT; ++i) {
    HostBitmap b = {i < ENTRY_COUNT ? 1 : 120, i < ENTRY_COUNT ? 460 : 1, NULL, 0};
    JWHostBitmap host = HostOf(&b);
    const uint8_t done = Lib.GetMiniaturBitmap(Entries[i], &host);
    fprintf(Out, "thumbnail %u: done %u, %dx%d, %d draws \"%s\"\n", (unsigned)Entries[i], done,
            (int)b.Width, (int)b.Height, b.Draws, Lib.GetLastError());
    snprintf(name, sizeof name, "%s-%u.bmp", AOutFile, (unsigned)Entries[i]);
    if (b.Pixels) WriteBmp(name, &b);
    free(b.Pixels);
  }
}

static void JWAPI PointOfPlace(const JWPointOfPlaceRec* ARec) {
  const JWShortString255* field = &ARec->Id;
  fprintf(Out, "point of place:");
  for (int i = 0; i < 31; ++i) fprintf(Out, " %d:\"%.*s\"", i, (int)field[i].Length, field[i].Text);
  fprintf(Out, "\n");
}

static double Seconds(void) {
#ifdef _WIN32
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now), QueryPerformanceFrequency(&frequency);
  return (double)now.QuadPart / (double)frequency.QuadPart;
#else
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (double)now.tv_sec + (double)now.tv_nsec * 1e-9;
#endif
}

#ifdef _WIN32
#define VIEWER_WINDOW() FindWindowA("JWViewerWindow", NULL)

/* The viewer window once it is shown, looked for ATries times, ASleep milliseconds apart. */
static HWND WaitForViewer(int ATries, DWORD ASleep) {
  HWND viewer = NULL;
  while (ATries-- > 0 && !(viewer && IsWindowVisible(viewer)))
    Sleep(ASleep), viewer = VIEWER_WINDOW();
  return viewer;
}

static struct { /* what the watcher saw while the modal window was open */
  HWND Host;
  int Seen, HostDisabled, Count; /* Count: another thread's call */
} Modal;

static DWORD WINAPI ModalWatcher(LPVOID AUnused) {
  HWND viewer = WaitForViewer(500, 10);
  (void)AUnused;
  Modal.Seen = viewer != NULL;
  Modal.HostDisabled = !IsWindowEnabled(Modal.Host);
  Modal.Count = Lib.ButtonCount(Entries[1], 1, 0);
  if (viewer) PostMessageA(viewer, WM_KEYDOWN, VK_ESCAPE, 0);
  return 0;
}

/* A modal window owned by the host's: host disabled, library free for others, Esc ends it. */
static void CheckModal(const char* ADataPath) {
  Modal.Host = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                               100, NULL, NULL, NULL, NULL);
  Lib.SetJWDataPath(ADataPath, NULL, (uintptr_t)Modal.Host);
  HANDLE thread = CreateThread(NULL, 0, ModalWatcher, NULL, 0, NULL);
  Lib.ShowForm(Entries[1], 0, 1, 0, 0, NULL, NULL, NULL);
  if (WaitForSingleObject(thread, 10000) != WAIT_OBJECT_0) FAIL("the modal window did not end");
  CloseHandle(thread);
  if (*Lib.GetLastError()) FAIL(Lib.GetLastError());
  if (!Modal.Seen) FAIL("no modal viewer window was shown");
  if (!Modal.HostDisabled) FAIL("the host's window stayed enabled under the modal window");
  if (Modal.Count <= 0) FAIL("another thread's call was not served during the modal window");
  if (!IsWindowEnabled(Modal.Host)) FAIL("the host's window stayed disabled");
  if (VIEWER_WINDOW()) FAIL("the modal window is still open");
  for (MSG msg; PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
  DestroyWindow(Modal.Host);
}

/* The whole window as it is on the screen, 24-bit bottom-up. */
static HostBitmap Capture(HWND AWindow) {
  HostBitmap b = {0, 0, NULL, 1};
  RECT r;
  HDC screen = GetDC(NULL), memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {
      .bmiHeader = {.biSize = sizeof info.bmiHeader, .biPlanes = 1, .biBitCount = 24}};
  void* bits = NULL;
  GetWindowRect(AWindow, &r);
  b.Width = r.right - r.left, b.Height = r.bottom - r.top;
  info.bmiHeader.biWidth = b.Width, info.bmiHeader.biHeight = b.Height;
  HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, NULL, 0);
  SelectObject(memory, dib);
  BitBlt(memory, 0, 0, b.Width, b.Height, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const size_t size = (size_t)((b.Width * 3 + 3) / 4 * 4) * (size_t)b.Height;
  b.Pixels = (uint8_t*)memcpy(malloc(size), bits, size);
  DeleteDC(memory), DeleteObject(dib), ReleaseDC(NULL, screen);
  return b;
}

static struct {
  const char* Shot;
  double Start, FirstPage; /* FirstPage: seconds until the window was shown with its page */
} Smoke;

static DWORD WINAPI SmokeWatcher(LPVOID AInteractive) {
  HWND viewer = WaitForViewer(2000, 1);
  HostBitmap first, now;
  int changed = 0;
  int32_t count = Lib.ButtonCount(Entries[1], 1, 0), top;
  POINT nav, close;
  Smoke.FirstPage = Seconds() - Smoke.Start;
  if (!viewer) return 1;
  if (!AInteractive) return PostMessageA(viewer, WM_KEYDOWN, VK_ESCAPE, 0), 0;
  /* The sample's bar: 140 x 16 pixel buttons from x = 561, the closing button (20 high) last; the
   * bar starts at y = 51 when it holds more than six buttons, else at 71. */
  top = count + 1 > 6 ? 51 : 71;
  nav.x = close.x = 561 + 70, nav.y = top + 16 + 8, close.y = top + 16 * count + 10;
  ClientToScreen(viewer, &nav), ClientToScreen(viewer, &close);
  Sleep(300);
  first = Capture(viewer);
  const size_t size = (size_t)((first.Width * 3 + 3) / 4 * 4) * (size_t)first.Height;
  printf("nav %ld %ld\nclose %ld %ld\n", nav.x, nav.y, close.x, close.y), fflush(stdout);
  for (int i = 0; i < 200 && !changed; ++i) {
    Sleep(50);
    now = Capture(viewer);
    changed = now.Width != first.Width || memcmp(now.Pixels, first.Pixels, size) != 0;
    free(now.Pixels);
  }
  free(first.Pixels);
  if (!changed) return 1;
  Sleep(300);
  now = Capture(viewer);
  WriteBmp(Smoke.Shot, &now);
  free(now.Pixels);
  printf("changed\n"), fflush(stdout);
  return 0;
}

/* A modal window. Interactive: "nav X Y", "close X Y" (two buttons' places), "changed" once the
 * page changed (a screenshot in AShot), until closed; else timed to its first page, then closed. */
static int RunSmoke(const char* ADataPath, const char* AShot, int AInteractive) {
  DWORD result = 1;
  Smoke.Shot = AShot;
  Lib.SetJWDataPath(ADataPath, NULL, 0);
  HANDLE thread = CreateThread(NULL, 0, SmokeWatcher, (LPVOID)(intptr_t)AInteractive, 0, NULL);
  Smoke.Start = Seconds();
  Lib.ShowForm(Entries[1], 0, 1, 0, 0, NULL, NULL, NULL);
  WaitForSingleObject(thread, 30000);
  GetExitCodeThread(thread, &result), CloseHandle(thread);
  if (*Lib.GetLastError()) fprintf(stderr, "%s\n", Lib.GetLastError());
  return result == 0 && !*Lib.GetLastError() ? 0 : 1;
}
#endif

/* Thumbnails of the chain entry at the window's own size, timed over many calls. */
static void Bench(const char* ADataPath) {
  const int rounds = 40;
  Lib.SetJWDataPath(ADataPath, NULL, 0);
  const double start = Seconds();
  for (int i = 0; i < rounds; ++i) {
    HostBitmap b = {1, 460, NULL, 0};
    JWHostBitmap host = HostOf(&b);
    Lib.GetMiniaturBitmap(Entries[1], &host);
    free(b.Pixels);
  }
  printf("thumbnail %.2f ms\n", (Seconds() - start) * 1000.0 / rounds);
#ifdef _WIN32
  RunSmoke(ADataPath, NULL, 0);
  printf("first page %.1f ms\n", Smoke.FirstPage * 1000.0);
#endif
}

int main(int argc, char** argv) {
  uint8_t flags[3][2] = {{0, 0}, {1, 0}, {0, 1}};
  JWHostList list = {NULL, AddImage};
  if (argc == 4 && strcmp(argv[1], "--bench") == 0) return Load(argv[2]) ? Bench(argv[3]), 0 : 1;
#ifdef _WIN32
  if (argc == 5 && strcmp(argv[1], "--smoke") == 0)
    return Load(argv[2]) ? RunSmoke(argv[3], argv[4], 1) : 1;
#endif
  if (argc < 5)
    return fprintf(stderr, "usage: jwwinhost LIBRARY DATA_DIR TEMPLATE_DIR OUT_FILE\n"), 2;
  if (!Load(argv[1]))
    return fprintf(stderr, "cannot load %s or one of its 16 exports\n", argv[1]), 1;
  if (!(Out = fopen(argv[4], "wb"))) return 1;

  Lib.SetMemoryManager(HostGetMem, HostFreeMem, HostReallocMem);
  char* version = Lib.GetDLLVersion();
  fprintf(Out, "version \"%s\"\n", version ? version : "(null)");
  Lib.FreeMem(version);
  fprintf(Out, "data path %u\n", Lib.SetJWDataPath("   ", NULL, 0));
  fprintf(Out, "data path %u\n", Lib.SetJWDataPath(argv[2], NULL, 0));

  for (size_t i = 0; i <= ENTRY_COUNT; ++i)
    for (size_t f = 0; f < 3; ++f) DumpButtons(Entries[i], flags[f][0], flags[f][1]);
  for (size_t i = 0; i < ENTRY_COUNT; ++i) DumpPages(Entries[i], argv[3]);
  for (size_t i = 0; i <= ENTRY_COUNT; ++i) {
    fprintf(Out, "images %u:\n", (unsigned)Entries[i]);
    fprintf(Out, "  done %u\n", Lib.GetTemplateImages(Entries[i], 0, &list));
  }
  DumpThumbnails(argv[4]);
  for (size_t i = 0; i < ENTRY_COUNT; ++i) { /* the location page hands the record over at once */
    const uint32_t at = (uint32_t)atoi(Lib.Button2Index(Entries[i], "brPointOfPlace", 1, 1));
    Lib.ShowForm(Entries[i], at, 0, 0, 1, PointOfPlace, NULL, NULL);
    fprintf(Out, "show form %u at %u: \"%s\"\n", (unsigned)Entries[i], at, Lib.GetLastError());
    Lib.ProcessMessages();
  }
  Lib.ProcessMessages();
  fprintf(Out, "blocks left %ld\n", Blocks);
  fclose(Out);

#ifdef _WIN32
  for (HWND viewer; (viewer = VIEWER_WINDOW()) != NULL;) DestroyWindow(viewer); /* location pages */
  CheckModal(argv[2]);
#if defined(__i386__)
  CheckStack();
#endif
#endif
  if (Failures == 0) printf("jwwinhost: all checks passed\n");
  return Failures == 0 ? 0 : 1;
}
