// The web layer's two CGI programs, as the unit's program runs them by name.
#ifndef ONU_WEB_CGI_HOST_H
#define ONU_WEB_CGI_HOST_H

// cgi-bin/onu.cgi: reads one request, lets the login gate decide on it,
// stores an upload and hands the request to the dispatcher. Returns 0.
int runCgiHost();
// cgi-bin/metrics: one Prometheus scrape behind the gate. Returns 0.
int runMetricsEndpoint();

#endif
