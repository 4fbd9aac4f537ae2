/* Exports nothing of its own: sumdll comes from libsum_provider.so, which it depends on, as
   the loader finds it for the programs. */
void sumProviderIsNeeded(void);

void sumProviderIsNeeded(void)
{
}
