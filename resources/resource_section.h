// Where a resource's bytes live in the module. On Linux each resource is an ELF section
// ".rsrc.<TYPE>.<ID>" that a host reads from the file without running code. On Windows the
// bytes reach the module as real resources through tellora.rc (written out by
// write_resource_bytes), so here they are a plain array: a ".rsrc" section name would be
// merged into the PE's own resource directory.
#pragma once

#ifdef _WIN32
#define TELLORA_RESOURCE_SECTION(name)
#else
#define TELLORA_RESOURCE_SECTION(name) __attribute__((section(name), used, aligned(4)))
#endif
