/* A program using the installed library the way its users do, built once with find_package and
 * once with pkg-config. Prints the version text, the buttons of one entry and the size of its
 * first page, and fails unless the page is a whole HTML document.
 *
 *   consumer DATADIR TEMPLATEDIR ENTRYID */
#include <jwlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
  if (argc != 4) {
    fputs("usage: consumer DATADIR TEMPLATEDIR ENTRYID\n", stderr);
    return 2;
  }
  const uint32_t id = (uint32_t)strtoul(argv[3], NULL, 10);
  if (!JW_SetJWDataPath(argv[1], NULL, 0)) {
    fprintf(stderr, "consumer: data path refused\n");
    return 1;
  }
  char* version = JW_GetDLLVersion();
  printf("version: %s\n", version ? version : "(none)");
  JW_FreeMem(version);

  const int32_t count = JW_ButtonCount(id, 1, 0);
  if (count < 0) {
    fprintf(stderr, "consumer: %s\n", JW_GetLastError());
    return 1;
  }
  printf("buttons: %d %s\n", (int)count, JW_GetButtonSet(id, 1, 0));

  char templates[4096];
  snprintf(templates, sizeof templates, "%s/", argv[2]);
  JWMemoryStream* page = JW_GetHTMLText(id, templates, 0, "", 1, 0);
  if (!page) {
    fprintf(stderr, "consumer: %s\n", JW_GetLastError());
    return 1;
  }
  const char* doctype = "<!DOCTYPE html>";
  const int whole = page->Size > 100 && memcmp(page->Memory, doctype, strlen(doctype)) == 0;
  printf("page: %d bytes\n", (int)page->Size);
  JW_FreeMemoryStream(page);
  if (!whole) fprintf(stderr, "consumer: the page is no HTML document\n");
  return whole ? 0 : 1;
}
