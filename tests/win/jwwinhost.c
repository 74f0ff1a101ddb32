/*
 * A host program in plain C that drives every export of the library on the bundled sample
 * directory and writes what it got into a text file, byte for byte.
 *
 * Built for Linux it loads libjwlib.so by name and writes the expected results. Built for 32-bit
 * Windows it loads jwlib.dll, takes all exports by ordinal only through __stdcall pointers, writes
 * its own results, compares them with the Linux ones and checks what only Windows can: that calls
 * through those pointers and the library's calls back into the host leave the stack pointer where
 * it was, and that the viewer exports of a build without the viewer fail cleanly.
 *
 *   jwwinhost LIBRARY DATA_DIR TEMPLATE_DIR OUT_FILE [EXPECTED_FILE]
 * Exit code 0 when everything matched.
 */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "jwlib.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

/* Two sample entries: one with a template of its own, one with branch offices. */
static const uint32_t Entries[] = {1006, 2001};
#define ENTRY_COUNT 2
static const uint32_t MissingEntry = 999999;

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

static void Fail(const char* AWhat) {
  fprintf(stderr, "FAIL: %s\n", AWhat);
  ++Failures;
}

static int Load(const char* APath) {
  /* In ordinal order: slot n - 1 holds the export of ordinal n. */
  void** slots = (void**)&Lib;
  int n;
#ifdef _WIN32
  HMODULE h = LoadLibraryA(APath);
  if (!h) return 0;
  for (n = 1; n <= 16; ++n) {
    FARPROC f = GetProcAddress(h, MAKEINTRESOURCEA(n));
    if (!f) return 0;
    memcpy(&slots[n - 1], &f, sizeof f);
  }
#else
  static const char* const names[16] = {
      "JW_SetMemoryManager",  "JW_GetTemplateImages", "JW_GetHTMLText",   "JW_ShowForm",
      "JW_GetMiniaturBitmap", "JW_Button2Index",      "JW_GetButtonSet",  "JW_ButtonCaptions",
      "JW_ButtonCaption",     "JW_ButtonCount",       "JW_SetJWDataPath", "JW_GetDLLVersion",
      "JW_GetLastError",      "JW_FreeMemoryStream",  "JW_FreeMem",       "JW_ProcessMessages"};
  void* h = dlopen(APath, RTLD_NOW | RTLD_LOCAL);
  if (!h) return 0;
  for (n = 1; n <= 16; ++n)
    if (!(slots[n - 1] = dlsym(h, names[n - 1]))) return 0;
#endif
  return 1;
}

/* ---- the host's memory routines: counted, so that leaks and foreign releases show ---- */

static long Blocks = 0;

static void* JWAPI HostGetMem(int32_t ASize) {
  ++Blocks;
  return malloc((size_t)ASize);
}
static int32_t JWAPI HostFreeMem(void* P) {
  --Blocks;
  free(P);
  return 0;
}
static void* JWAPI HostReallocMem(void* P, int32_t ASize) {
  return realloc(P, (size_t)ASize);
}

/* ---- the dump ---- */

static FILE* Out;

/* The width, height and component count from a JPEG's frame header, after walking every segment
 * from the start marker to the end marker; 0 when the file is not a complete baseline JPEG. */
static int JpegFrame(const uint8_t* F, int32_t ASize, int* W, int* H, int* C) {
  int32_t i = 2;
  int frame = 0;
  if (ASize < 4 || F[0] != 0xFF || F[1] != 0xD8) return 0;
  while (i + 4 <= ASize) {
    const uint8_t marker = F[i + 1];
    const int32_t length = F[i + 2] << 8 | F[i + 3];
    if (F[i] != 0xFF) return 0;
    if (marker == 0xC0) {
      *H = F[i + 5] << 8 | F[i + 6];
      *W = F[i + 7] << 8 | F[i + 8];
      *C = F[i + 9];
      frame = 1;
    } else if (marker >= 0xC1 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
               marker != 0xCC) {
      return 0; /* not baseline */
    }
    i += 2 + length;
    if (marker == 0xDA) break; /* entropy-coded data up to the end marker follows */
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
  char buf[512];
  char set[512];
  int32_t count, i, n;
  char* name;
  count = Lib.ButtonCount(AId, AShow, AForce);
  fprintf(Out, "entry %u flags %u %u: count %d", (unsigned)AId, AShow, AForce, (int)count);
  fprintf(Out, " error \"%s\"\n", count < 0 ? Lib.GetLastError() : "");
  snprintf(set, sizeof set, "%s", Lib.GetButtonSet(AId, AShow, AForce));
  fprintf(Out, "  set \"%s\"\n", set);
  n = Lib.ButtonCaptions(AId, AShow, AForce, buf, sizeof buf);
  fprintf(Out, "  captions %d \"%s\"\n", (int)n, buf);
  n = Lib.ButtonCaptions(AId, AShow, AForce, buf, 6); /* cut */
  fprintf(Out, "  captions(6) %d \"%s\"\n", (int)n, buf);
  for (i = 0; i <= (count > 0 ? count : 0); ++i) {
    n = Lib.ButtonCaption(AId, (uint32_t)i, AShow, AForce, buf, sizeof buf);
    fprintf(Out, "  caption %d: %d \"%s\"\n", (int)i, (int)n, buf);
  }
  for (name = strtok(set, "|"); name; name = strtok(NULL, "|"))
    fprintf(Out, "  index %s = %s\n", name, Lib.Button2Index(AId, name, AShow, AForce));
  fprintf(Out, "  index brNone = %s\n", Lib.Button2Index(AId, "brNone", AShow, AForce));
}

static void DumpPages(uint32_t AId, const char* ATemplates) {
  static const char* const params[] = {"", "BRANCHES_SORT=DIST&STARTX=410,5&STARTY=3056,7"};
  int32_t count = Lib.ButtonCount(AId, 1, 0), page;
  size_t p;
  for (p = 0; p < 2; ++p)
    for (page = 0; page <= count; ++page) {
      JWMemoryStream* s = Lib.GetHTMLText(AId, ATemplates, (uint32_t)page, params[p], 1, 0);
      fprintf(Out, "page %u %d \"%s\": ", (unsigned)AId, (int)page, params[p]);
      if (!s) {
        fprintf(Out, "null \"%s\"\n", Lib.GetLastError());
        continue;
      }
      fprintf(Out, "%d bytes\n", (int)s->Size);
      fwrite(s->Memory, 1, (size_t)s->Size, Out);
      fprintf(Out, "\n");
      Lib.FreeMemoryStream(s);
    }
}

#if defined(_WIN32) && defined(__i386__)
static uintptr_t StackPointer(void) __attribute__((noinline));
static uintptr_t StackPointer(void) {
  uintptr_t sp;
  __asm__ volatile("movl %%esp, %0" : "=r"(sp));
  return sp;
}

/* With a wrong calling convention on either side of the boundary every call moves the stack
 * pointer by the size of its arguments; a thousand calls cannot hide that. The library's calls
 * back into the host (memory routines, the list's Add) are inside the loop too. */
static void CheckStack(void) {
  char buf[64];
  int i;
  volatile uintptr_t before, after;
  JWHostList list = {NULL, AddImage};
  FILE* saved = Out;
  Out = fopen("NUL", "wb");
  before = StackPointer();
  for (i = 0; i < 1000; ++i) {
    Lib.ButtonCaption(Entries[i % ENTRY_COUNT], (uint32_t)i % 3, 1, 0, buf, sizeof buf);
    Lib.ButtonCount(Entries[i % ENTRY_COUNT], 1, (uint8_t)(i & 1));
    Lib.FreeMem(Lib.GetDLLVersion());
    if (i % 100 == 0) Lib.GetTemplateImages(Entries[0], 0, &list);
  }
  after = StackPointer();
  fclose(Out);
  Out = saved;
  if (before != after) {
    fprintf(stderr, "stack pointer moved by %ld bytes\n", (long)(after - before));
    Fail("calling convention");
  }
}
#endif

static int Compare(const char* AActual, const char* AExpected) {
  FILE* a = fopen(AActual, "rb");
  FILE* e = fopen(AExpected, "rb");
  long line = 1, offset = 0;
  int ca, ce;
  if (!a || !e) {
    Fail("cannot open the results to compare");
    return 0;
  }
  do {
    ca = fgetc(a);
    ce = fgetc(e);
    if (ca != ce) {
      fprintf(stderr, "results differ from the Linux library's at line %ld, byte %ld\n", line,
              offset);
      Fail("results differ");
      break;
    }
    if (ca == '\n') ++line;
    ++offset;
  } while (ca != EOF);
  fclose(a);
  fclose(e);
  return 1;
}

int main(int argc, char** argv) {
  char* version;
  size_t i;
  uint8_t flags[3][2] = {{0, 0}, {1, 0}, {0, 1}};
  size_t f;
  if (argc < 5) {
    fprintf(stderr, "usage: jwwinhost LIBRARY DATA_DIR TEMPLATE_DIR OUT_FILE [EXPECTED_FILE]\n");
    return 2;
  }
  if (!Load(argv[1])) {
    fprintf(stderr, "cannot load %s or one of its 16 exports\n", argv[1]);
    return 1;
  }
  Out = fopen(argv[4], "wb");
  if (!Out) return 1;

  Lib.SetMemoryManager(HostGetMem, HostFreeMem, HostReallocMem);
  version = Lib.GetDLLVersion();
  fprintf(Out, "version \"%s\"\n", version ? version : "(null)");
  Lib.FreeMem(version);
  fprintf(Out, "data path %u\n", Lib.SetJWDataPath("   ", NULL, 0));
  fprintf(Out, "data path %u\n", Lib.SetJWDataPath(argv[2], NULL, 0));

  for (i = 0; i < ENTRY_COUNT; ++i)
    for (f = 0; f < 3; ++f) DumpButtons(Entries[i], flags[f][0], flags[f][1]);
  DumpButtons(MissingEntry, 1, 0);
  for (i = 0; i < ENTRY_COUNT; ++i) DumpPages(Entries[i], argv[3]);

  for (i = 0; i < ENTRY_COUNT; ++i) {
    JWHostList list = {NULL, AddImage};
    uint8_t done;
    fprintf(Out, "images %u:\n", (unsigned)Entries[i]);
    done = Lib.GetTemplateImages(Entries[i], 0, &list);
    fprintf(Out, "  done %u\n", done);
  }
  {
    JWHostList list = {NULL, AddImage};
    fprintf(Out, "images of a missing entry: %u\n", Lib.GetTemplateImages(MissingEntry, 0, &list));
  }
  Lib.ProcessMessages();
  fprintf(Out, "blocks left %ld\n", Blocks);
  fclose(Out);

#ifdef _WIN32
  {
    /* This build has no viewer: both calls fail with a message and touch nothing. */
    JWHostBitmap bitmap;
    memset(&bitmap, 0, sizeof bitmap);
    Lib.ShowForm(Entries[0], 0, 1, 0, 0, NULL, NULL, NULL);
    if (!*Lib.GetLastError()) Fail("JW_ShowForm without a viewer reported nothing");
    if (Lib.GetMiniaturBitmap(Entries[0], &bitmap) != 0 || !*Lib.GetLastError())
      Fail("JW_GetMiniaturBitmap without a viewer did not fail cleanly");
  }
#if defined(__i386__)
  CheckStack();
#endif
#endif
  if (argc > 5) Compare(argv[4], argv[5]);
  if (Failures == 0) printf("jwwinhost: all checks passed\n");
  return Failures == 0 ? 0 : 1;
}
